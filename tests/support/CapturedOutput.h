#pragma once
// Captures what the code under test writes to standard output and standard error
// (C stdio and C++ streams alike) by redirecting file descriptors 1 and 2 into
// temporary files for the object's lifetime or until stop().

#include <string>

class CapturedOutput {
public:
    CapturedOutput();
    ~CapturedOutput();
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;

    // Restores the streams (idempotent) and keeps what was written.
    void stop();
    // What was written so far; stops the capture first.
    const std::string& out();
    const std::string& err();

private:
    struct Redirect {
        int fd = -1;
        int saved = -1;
        int file = -1;
    };
    static void begin(Redirect& r, int fd);
    static std::string end(Redirect& r);

    Redirect stdout_;
    Redirect stderr_;
    bool active_ = true;
    std::string out_;
    std::string err_;
};
