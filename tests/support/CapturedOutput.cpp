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

// The code under test may end the process while its output is captured: exit() on a
// fatal input, Xlib on a lost display, a sanitizer report. Whatever it wrote on the way
// out would vanish with the temporary files, so it goes to the real streams instead.
void releaseOnProcessEnd() {
    if (active != nullptr) {
        CapturedOutput* capture = active;
        const std::string out = capture->out();
        const std::string err = capture->err();
        std::fprintf(stderr, "(the process ended while its output was captured; it wrote:)\n");
        std::fwrite(out.data(), 1, out.size(), stdout);
        std::fwrite(err.data(), 1, err.size(), stderr);
        std::fflush(nullptr);
    }
}

void watchForProcessEnd() {
    static const bool registered = [] {
        std::atexit(releaseOnProcessEnd);
        if (__sanitizer_set_death_callback != nullptr) {
            __sanitizer_set_death_callback(releaseOnProcessEnd);
        }
        return true;
    }();
    (void)registered;
}

} // namespace

CapturedOutput::CapturedOutput() {
    watchForProcessEnd();
    begin(stdout_, STDOUT_FILENO);
    begin(stderr_, STDERR_FILENO);
    active = this;
}

CapturedOutput::~CapturedOutput() {
    stop();
}

void CapturedOutput::begin(Redirect& r, int fd) {
    std::fflush(nullptr);
    std::cout.flush();
    std::cerr.flush();
    char name[] = "/tmp/pyrokettle-capture-XXXXXX";
    r.fd = fd;
    r.file = mkstemp(name);
    unlink(name);
    r.saved = dup(fd);
    dup2(r.file, fd);
}

std::string CapturedOutput::end(Redirect& r) {
    std::fflush(nullptr);
    std::cout.flush();
    std::cerr.flush();
    dup2(r.saved, r.fd);
    close(r.saved);
    std::string text;
    lseek(r.file, 0, SEEK_SET);
    char buffer[4096];
    ssize_t n;
    while ((n = read(r.file, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<size_t>(n));
    }
    close(r.file);
    return text;
}

void CapturedOutput::stop() {
    if (!active_) {
        return;
    }
    active_ = false;
    if (active == this) {
        active = nullptr;
    }
    out_ = end(stdout_);
    err_ = end(stderr_);
}

const std::string& CapturedOutput::out() {
    stop();
    return out_;
}

const std::string& CapturedOutput::err() {
    stop();
    return err_;
}
