#pragma once
// Sound tests on SDL's headless audio drivers, with generated WAV and MIDI files.
//
// The disk driver writes the mixed output (signed 16-bit little-endian, stereo, 22050 Hz, as
// initAudio opens it) to a file, one 4096-frame buffer every `delayMs` milliseconds, so a
// test can run faster than real time and still hear everything.

#include <SDL.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace audiotest {

constexpr int Rate = 22050;
constexpr int Channels = 2;
using Samples = std::vector<std::int16_t>; // interleaved

// Opens the device with initAudio on the disk (or dummy, real-time, keeps nothing) driver.
// Must run before anything else touches SDL audio in the test process.
bool openDiskAudio(const std::string& file, int delayMs);
bool openDummyAudio();
// Closes the device, which flushes and closes the disk driver's file.
void closeAudio();

// The samples of a disk-driver file from byte `fromByte` on.
Samples readSamples(const std::string& file, std::size_t fromByte = 0);
// Root mean square of samples [begin, end) (clamped to the data), 0 for an empty range.
double rms(const Samples& samples, std::size_t begin = 0, std::size_t end = SIZE_MAX);
int peak(const Samples& samples);
// Separate loud stretches: runs of windows of `windowFrames` frames with RMS over `threshold`.
int loudStretches(const Samples& samples, std::size_t windowFrames, double threshold);
// How alike each sample is to the next of its channel, -1 to 1: near 1 for music, near 0
// for noise.
double smoothness(const Samples& samples);

// A mono 16-bit PCM WAV file of a sine tone.
std::string sineWav(double frequency, double seconds, int amplitude);
// A format-0 MIDI file at 96 ticks per quarter note and 120 beats per minute (96 ticks =
// 0.5 s): General MIDI `program` on `channel` holding middle C for `ticks`.
std::string midiNote(int program, int ticks, int channel = 0);

// Polls `done` every few milliseconds; false when `timeoutMs` passes first.
bool waitUntil(const std::function<bool()>& done, int timeoutMs);

} // namespace audiotest
