#include "support/CapturedOutput.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <stdlib.h>
#include <unistd.h>

// Present only in sanitizer builds: called after a report, just before the process ends.
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace {

CapturedOutput* active = nullptr;

void flushAll() {
    std::fflush(nullptr);
    std::cout.flush();
    std::cerr.flush();
}

void releaseOnProcessEnd() {
    if (CapturedOutput* capture = active) {
        const std::string out = capture->out();
        const std::string err = capture->err();
        std::fprintf(stderr, "(the process ended while its output was captured; it wrote:)\n");
        std::fwrite(out.data(), 1, out.size(), stdout);
        std::fwrite(err.data(), 1, err.size(), stderr);
        std::fflush(nullptr);
    }
}

} // namespace

CapturedOutput::CapturedOutput() {
    static const bool registered = [] {
        std::atexit(releaseOnProcessEnd);
        if (__sanitizer_set_death_callback != nullptr) {
            __sanitizer_set_death_callback(releaseOnProcessEnd);
        }
        return true;
    }();
    (void)registered;
    flushAll();
    for (int fd : {1, 2}) {
        char name[] = "/tmp/pyrokettle-capture-XXXXXX";
        files_[fd - 1] = mkstemp(name);
        unlink(name);
        saved_[fd - 1] = dup(fd);
        dup2(files_[fd - 1], fd);
    }
    active = this;
}

void CapturedOutput::stop() {
    if (!active_) {
        return;
    }
    active_ = false;
    if (active == this) {
        active = nullptr;
    }
    flushAll();
    for (int fd : {1, 2}) {
        dup2(saved_[fd - 1], fd);
        close(saved_[fd - 1]);
        lseek(files_[fd - 1], 0, SEEK_SET);
        char buffer[4096];
        ssize_t n;
        while ((n = read(files_[fd - 1], buffer, sizeof buffer)) > 0) {
            text_[fd - 1].append(buffer, static_cast<size_t>(n));
        }
        close(files_[fd - 1]);
    }
}

const std::string& CapturedOutput::out() {
    stop();
    return text_[0];
}

const std::string& CapturedOutput::err() {
    stop();
    return text_[1];
}
