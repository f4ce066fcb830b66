#pragma once
// Captures what the code under test writes to standard output and standard error (C stdio and
// C++ streams alike) by pointing descriptors 1 and 2 at temporary files for the object's
// lifetime or until stop().

#include <cstdio>
#include <iostream>
#include <stdlib.h>
#include <string>
#include <unistd.h>

class CapturedOutput {
  public:
    CapturedOutput() {
        flushAll();
        for (int fd : {1, 2}) {
            char name[] = "/tmp/pyrokettle-capture-XXXXXX";
            files_[fd - 1] = mkstemp(name);
            unlink(name);
            saved_[fd - 1] = dup(fd);
            dup2(files_[fd - 1], fd);
        }
    }
    ~CapturedOutput() { stop(); }
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;

    // Restores the streams (idempotent) and keeps what was written.
    void stop() {
        if (!active_) {
            return;
        }
        active_ = false;
        flushAll();
        for (int fd : {1, 2}) {
            dup2(saved_[fd - 1], fd);
            close(saved_[fd - 1]);
            lseek(files_[fd - 1], 0, SEEK_SET);
            char buffer[4096];
            for (ssize_t n; (n = read(files_[fd - 1], buffer, sizeof buffer)) > 0;) {
                text_[fd - 1].append(buffer, static_cast<size_t>(n));
            }
            close(files_[fd - 1]);
        }
    }
    // What was written; stops the capture first.
    const std::string& out() { return stop(), text_[0]; }
    const std::string& err() { return stop(), text_[1]; }

  private:
    static void flushAll() {
        std::fflush(nullptr);
        std::cout.flush();
        std::cerr.flush();
    }

    int saved_[2] = {-1, -1};
    int files_[2] = {-1, -1};
    bool active_ = true;
    std::string text_[2];
};
