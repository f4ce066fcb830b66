#pragma once
// Captures standard output and error (C stdio, and the C++ streams synced with it) by pointing
// descriptors 1 and 2 at temporary files for the object's lifetime or until stop().

#include <cstdio>
#include <stdlib.h>
#include <string>
#include <unistd.h>

class CapturedOutput {
  public:
    CapturedOutput() {
        std::fflush(nullptr);
        for (int i : {0, 1}) {
            char name[] = "/tmp/pyrokettle-capture-XXXXXX";
            files_[i] = mkstemp(name);
            unlink(name);
            saved_[i] = dup(i + 1);
            dup2(files_[i], i + 1);
        }
    }
    ~CapturedOutput() { stop(); }
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;

    // Restores the streams (idempotent) and keeps what was written.
    void stop() {
        for (int i = 0; active_ && i < 2; ++i) {
            std::fflush(nullptr);
            dup2(saved_[i], i + 1);
            close(saved_[i]);
            lseek(files_[i], 0, SEEK_SET);
            char buffer[4096];
            for (ssize_t n; (n = read(files_[i], buffer, sizeof buffer)) > 0;) {
                text_[i].append(buffer, static_cast<size_t>(n));
            }
            close(files_[i]);
        }
        active_ = false;
    }
    // What was written; stops the capture first.
    const std::string& out() { return stop(), text_[0]; }
    const std::string& err() { return stop(), text_[1]; }

  private:
    int saved_[2] = {-1, -1}, files_[2] = {-1, -1};
    bool active_ = true;
    std::string text_[2];
};
