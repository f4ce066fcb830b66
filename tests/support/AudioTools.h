#pragma once
// Helpers for the sound tests: SDL's headless audio drivers, generated WAV and MIDI
// files, and reading back what the disk driver wrote.
//
// The disk driver writes the mixed output (signed 16-bit little-endian, stereo, 22050 Hz,
// as initAudio opens it) to a file, one 4096-frame buffer every `delayMs` milliseconds,
// so a test can run faster than real time and still hear everything.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace audiotest {

constexpr int Rate = 22050;
constexpr int Channels = 2;

// Starts SDL's audio subsystem on the disk driver and opens the device with initAudio.
// Must run before anything else touches SDL audio in the test process.
bool openDiskAudio(const std::string& file, int delayMs);
// The same on the dummy driver, which plays in real time and keeps nothing.
bool openDummyAudio();
// Closes the device, which flushes and closes the disk driver's file.
void closeAudio();

// Interleaved samples of a disk-driver file, from byte `fromByte` on.
std::vector<std::int16_t> readSamples(const std::string& file, std::size_t fromByte = 0);
// Root mean square of samples [begin, end) (clamped to the data), 0 for an empty range.
double rms(const std::vector<std::int16_t>& samples, std::size_t begin, std::size_t end);
// The largest RMS of consecutive windows of `windowFrames` frames.
double loudestWindow(const std::vector<std::int16_t>& samples, std::size_t windowFrames);
// Largest absolute sample.
int peak(const std::vector<std::int16_t>& samples);
// Writes interleaved 16-bit samples as a PCM WAV file.
void writeWav(const std::string& path, const std::vector<std::int16_t>& samples, int rate, int channels);
// Number of separate loud stretches: windows of `windowFrames` frames whose RMS exceeds
// `threshold`, counting each run of loud windows once.
int loudStretches(const std::vector<std::int16_t>& samples, std::size_t windowFrames, double threshold);

// A mono 16-bit WAV file of a sine tone.
std::string sineWav(double frequency, double seconds, int amplitude, int rate = Rate);
// A format-0 MIDI file at 96 ticks per quarter note and the default 120 beats per minute
// (96 ticks = 0.5 s): General MIDI `program` on channel 0 holding middle C for `ticks`.
std::string midiNote(int program, int ticks);

// Polls `done` every few milliseconds; false when `timeoutMs` passes first.
bool waitUntil(const std::function<bool()>& done, int timeoutMs);

} // namespace audiotest
