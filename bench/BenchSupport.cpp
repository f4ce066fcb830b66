#include "bench/BenchSupport.h"

#include <GL/gl.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace bench {

std::int64_t nowNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

std::int64_t launchTimeNs() {
    const char* value = std::getenv("BENCH_T0_NS");
    return value != nullptr ? std::strtoll(value, nullptr, 10) : -1;
}

long peakRssKib() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) {
        return -1;
    }
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "VmHWM:", 6) == 0) {
            kib = std::strtol(line + 6, nullptr, 10);
            break;
        }
    }
    std::fclose(status);
    return kib;
}

void report(const std::string& name, std::vector<double>& values) {
    if (values.empty()) {
        return;
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median =
        n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
    std::printf("%s %.6g %.6g %.6g\n", name.c_str(), median, values.front(), values.back());
    std::fflush(stdout);
}

void timeFrames(int framesPerRun, int runs, const std::function<void()>& setUp,
                const std::function<void(bool counted)>& frame) {
    std::vector<double> fps;
    std::vector<double> ms;
    for (int run = -1; run < runs; ++run) {
        setUp();
        glFinish();
        const std::int64_t start = nowNs();
        for (int i = 0; i < framesPerRun; ++i) {
            frame(run >= 0);
        }
        glFinish();
        const double seconds = static_cast<double>(nowNs() - start) / 1e9;
        if (run >= 0) {
            fps.push_back(framesPerRun / seconds);
            ms.push_back(seconds * 1000.0 / framesPerRun);
        }
    }
    report("fps", fps);
    report("frame_ms", ms);
}

void dumpFrame(const char* path, unsigned buffer) {
    if (path == nullptr || *path == '\0') {
        return;
    }
    std::vector<unsigned char> rgb(800 * 600 * 3);
    glReadBuffer(buffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    if (std::FILE* file = std::fopen(path, "wb")) {
        std::fwrite(rgb.data(), 1, rgb.size(), file);
        std::fclose(file);
    }
}

void reportRenderer() {
    const auto text = [](GLenum name) {
        const GLubyte* s = glGetString(name);
        return s != nullptr ? reinterpret_cast<const char*>(s) : "?";
    };
    std::printf("renderer %s\n", text(GL_RENDERER));
    std::printf("gl_version %s\n", text(GL_VERSION));
}

} // namespace bench
