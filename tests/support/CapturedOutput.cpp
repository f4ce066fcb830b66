#include "support/CapturedOutput.h"

#include <cstdio>
#include <iostream>
#include <stdlib.h>
#include <unistd.h>

CapturedOutput::CapturedOutput() {
    begin(stdout_, STDOUT_FILENO);
    begin(stderr_, STDERR_FILENO);
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
