#include "support/CapturedOutput.h"

#include <cstdio>
#include <iostream>
#include <stdlib.h>
#include <unistd.h>

namespace {

void flushAll() {
    std::fflush(nullptr);
    std::cout.flush();
    std::cerr.flush();
}

} // namespace

CapturedOutput::CapturedOutput() {
    flushAll();
    for (int fd : {1, 2}) {
        char name[] = "/tmp/pyrokettle-capture-XXXXXX";
        files_[fd - 1] = mkstemp(name);
        unlink(name);
        saved_[fd - 1] = dup(fd);
        dup2(files_[fd - 1], fd);
    }
}

void CapturedOutput::stop() {
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
