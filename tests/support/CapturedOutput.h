#pragma once
// Captures what the code under test writes to standard output and standard error (C stdio
// and C++ streams alike) by pointing descriptors 1 and 2 at temporary files for the
// object's lifetime or until stop().

#include <string>

class CapturedOutput {
  public:
    CapturedOutput();
    ~CapturedOutput() { stop(); }
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;

    // Restores the streams (idempotent) and keeps what was written.
    void stop();
    // What was written; stops the capture first.
    const std::string& out();
    const std::string& err();

  private:
    int saved_[2] = {-1, -1};
    int files_[2] = {-1, -1};
    bool active_ = true;
    std::string text_[2];
};
