#pragma once
// Small helpers shared by the benchmark programs: a monotonic clock that means the same in
// every process, the process's peak resident memory, summaries of repeated runs, and a
// checksum of the pixels drawn so far.
//
// Every program prints its results as "key value ..." lines on standard output for
// scripts/bench to collect.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace bench {

// CLOCK_MONOTONIC in nanoseconds: one clock for the whole machine, so a time taken in a
// parent before it starts a process can be compared with one taken inside the process.
std::int64_t nowNs();

// The monotonic time at which the launcher (`pyrokettle_bench spawn`) started this
// process, from the BENCH_T0_NS environment variable; -1 when it is not set.
std::int64_t launchTimeNs();

// Peak resident memory of this process in KiB (VmHWM), or -1 when /proc does not say.
long peakRssKib();

// Median, lowest and highest of a set of values (which is sorted in place); prints
// "<name> <median> <min> <max>" on standard output.
void report(const std::string& name, std::vector<double>& values);

// Runs `frame` framesPerRun times in each of `runs` runs after one warm-up run, calling
// `setUp` before every run and glFinish at both ends of it, and reports "fps" and
// "frame_ms". `frame` is told whether its run counts (false while warming up).
void timeFrames(int framesPerRun, int runs, const std::function<void()>& setUp,
                const std::function<void(bool counted)>& frame);

// Writes the 800 x 600 RGB pixels of `buffer` (GL_FRONT or GL_BACK) to `path` as raw bytes,
// bottom row first, so that two programs' frames can be compared byte for byte. Does nothing
// for a null path. After a swap, read GL_BACK: Mesa's software drivers keep the frame there,
// while the front buffer of a window under Xvfb reads back black.
void dumpFrame(const char* path, unsigned buffer);
// Prints the GL renderer and version strings ("renderer ...", "gl_version ...").
void reportRenderer();

} // namespace bench
