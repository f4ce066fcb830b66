// Third-party WAV files, valid and malformed, through SoundManager: each is offered as
// "0.wav" of a fresh sound directory (a symbolic link to the file, read in place).
#include "engine/SoundManager.h"

#include "realdata/RealData.h"
#include "support/AudioTools.h"
#include "support/CapturedOutput.h"
#include "support/TempDir.h"

#include <SDL.h>
#include <chrono>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// SDL 1.2 allocates each chunk at the size its header claims (up to 4 GB for these files)
// before it finds the data missing. Untouched, that costs neither time nor resident memory;
// under AddressSanitizer the allocator poisons the shadow of the whole block, which takes
// seconds and hundreds of megabytes, so the limits below are the plain build's.
#ifdef __SANITIZE_ADDRESS__
constexpr bool CheckingAllocator = true;
#else
constexpr bool CheckingAllocator = false;
#endif

struct Outcome {
    int loaded;          // chunks loaded: 1 or 0
    std::string err;     // what went to standard error, the directory left out
    std::string reason;  // SDL's error text after a refusal
    double seconds;      // how long construction took
};

// Loads `file` (relative to the real-data folder) as the only sound of a directory.
Outcome loadAlone(const std::string& file) {
    TempDir dir;
    EXPECT_EQ(symlink(realdata::path(file).c_str(), dir.file("0.wav").c_str()), 0) << file;
    CapturedOutput output;
    const auto start = std::chrono::steady_clock::now();
    SoundManager sounds(dir.path().c_str());
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    output.stop();
    const std::string reason = SDL_GetError();
    EXPECT_EQ(output.out(), "") << file;
    const int loaded = sounds.count();
    // What was loaded plays.
    if (loaded > 0) {
        EXPECT_GT(sounds.samples[0]->alen, 0u) << file;
        CapturedOutput quiet;
        sounds.play(0);
        EXPECT_EQ(quiet.err(), "") << file;
        Mix_HaltChannel(-1); // free the channel for the next file
    }
    return Outcome{loaded, output.err().substr(output.err().find(dir.path()) == 0 ? dir.path().size() + 1 : 0),
                   reason, took.count()};
}

struct Case {
    const char* file;
    // SDL's reason for refusing it; nullptr for a file that loads.
    const char* refusal;
};

// Loads each file alone and checks the outcome: one chunk and the end-of-set line for the
// next number, or no chunk, SDL's reason, and the missing line for number 0. Each must be
// quick (no reading or allocating what a header merely claims).
void expectEach(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SDL_ClearError();
        const Outcome o = loadAlone(c.file);
        if (c.refusal == nullptr) {
            EXPECT_EQ(o.loaded, 1) << c.file << ": " << o.reason;
            EXPECT_EQ(o.err, "1.wav is missing\n") << c.file;
        } else {
            EXPECT_EQ(o.loaded, 0) << c.file;
            EXPECT_EQ(o.err, "0.wav is missing\n") << c.file;
            EXPECT_EQ(o.reason, c.refusal) << c.file;
        }
        EXPECT_LT(o.seconds, CheckingAllocator ? 20.0 : 2.0) << c.file;
    }
}

TEST(RealWavs, PlainPcmOf8And16BitsLoadsAsEffects) {
    REALDATA_REQUIRE("wav");
    ASSERT_TRUE(audiotest::openDummyAudio()) << SDL_GetError();
    expectEach({
        {"wav/go-audio-wav/8bit.wav", nullptr},
        {"wav/go-audio-wav/kick-16b441k.wav", nullptr}, // a trailing unknown chunk
        {"wav/go-audio-wav/kick.wav", nullptr},
        {"wav/go-audio-wav/listinfo.wav", nullptr}, // LIST and "id3 " after the data
        {"wav/hound/pcmwaveformat-16bit-44100Hz-mono-extra.wav", nullptr}, // LIST before data
        {"wav/hound/pcmwaveformat-16bit-44100Hz-mono.wav", nullptr},
        {"wav/hound/pcmwaveformat-8bit-44100Hz-mono.wav", nullptr}, // four samples
        {"wav/hound/waveformatex-16bit-44100Hz-mono-extra.wav", nullptr},
        {"wav/hound/waveformatex-16bit-44100Hz-mono.wav", nullptr},
        {"wav/hound/waveformatex-16bit-44100Hz-stereo.wav", nullptr},
        // A junk cbSize and a RIFF size far past the end: the mixer reads what is there.
        {"wav/hound/waveformatex-8bit-11025Hz-mono.wav", nullptr},
        {"wav/scipy/test-8000Hz-le-2ch-1byteu.wav", nullptr},
        {"wav/uttori-audio-wave/pluck-pcm16.wav", nullptr}, // LIST INFO before the data
        {"wav/uttori-audio-wave/pluck-pcm8.wav", nullptr},
    });
}

// Valid files in encodings SDL 1.2's WAVE reader does not decode: refused cleanly.
TEST(RealWavs, EncodingsTheMixerDoesNotDecodeAreReportedMissing) {
    REALDATA_REQUIRE("wav");
    ASSERT_TRUE(audiotest::openDummyAudio()) << SDL_GetError();
    const char* const Extensible = "Unknown WAVE data format: 0xfffe";
    const char* const Float = "Unknown WAVE data format: 0x0003";
    const char* const Pcm24 = "Unknown 24-bit PCM data format";
    expectEach({
        {"wav/hound/pcmwaveformat-24bit-4byte-48kHz-stereo.wav", Pcm24},
        {"wav/hound/pop.wav", Extensible},
        {"wav/hound/waveformatex-ieeefloat-44100Hz-mono.wav", Float},
        {"wav/hound/waveformatextensible-24bit-192kHz-mono.wav", Extensible},
        {"wav/hound/waveformatextensible-32bit-48kHz-stereo.wav", Extensible},
        {"wav/scipy/test-1234Hz-le-1ch-10S-20bit-extra.wav", "Unknown 20-bit PCM data format"},
        {"wav/scipy/test-44100Hz-2ch-32bit-float-le.wav", Float},
        {"wav/scipy/test-44100Hz-be-1ch-4bytes.wav", "Unrecognized sound file type"}, // RIFX
        {"wav/scipy/test-44100Hz-le-1ch-4bytes-rf64.wav", "Unrecognized sound file type"},
        {"wav/scipy/test-44100Hz-le-1ch-4bytes.wav", Extensible},
        {"wav/scipy/test-48000Hz-2ch-64bit-float-le-wavex.wav", Extensible},
        {"wav/scipy/test-8000Hz-le-1ch-1byte-ulaw.wav", "Unknown WAVE data format: 0x0007"},
        {"wav/scipy/test-8000Hz-le-3ch-5S-24bit.wav", Pcm24},
        {"wav/uttori-audio-wave/pluck-pcm24.wav", Pcm24},
    });
}

TEST(RealWavs, MalformedTruncatedAndFuzzedFilesAreReportedMissingCheaply) {
    REALDATA_REQUIRE("wav");
    ASSERT_TRUE(audiotest::openDummyAudio()) << SDL_GetError();
    const char* const ReadError = "Error reading from datastream";
    const long rssBefore = realdata::peakRssKb();
    expectEach({
        // Chunk sizes far past the end of the file (up to 4 GB for a 41-byte file).
        {"wav/hound/fuzz/crash-24728523ef4be15c838293b676f6853e73723bf4.wav", ReadError},
        {"wav/hound/fuzz/crash-b8447179832529c48f9c6bf17feab6337bbc78ea.wav", ReadError},
        {"wav/hound/fuzz/crash-cbd757427cea12bd8a21f86cd8cf74d98ce56bee.wav", ReadError},
        {"wav/hound/fuzz/crash-e5471f5b58397287b509db7d026e95f1724454f5.wav",
         "Unknown WAVE data format: 0xfffe"},
        {"wav/hound/fuzz/crash-e879de4eb4d206c59e21f0e01def16457af80fdc.wav", ReadError},
        // An "oooo" chunk claiming 2.9 GB in a 22-byte file.
        {"wav/hound/fuzz/oom-48ae4cd061ff8578ad3f23dc87624bd365cf5216.wav", ReadError},
        // JUNK and bext before a 40-byte fmt: SDL 1.2 wants fmt first.
        {"wav/hound/nonstandard-01.wav", "Complex WAVE files not supported"},
        {"wav/hound/nonstandard-02.wav", "Unknown WAVE data format: 0xfffe"},
        {"wav/scipy/test-44100Hz-le-1ch-4bytes-early-eof-no-data.wav",
         "Unknown WAVE data format: 0xfffe"},
        {"wav/scipy/test-44100Hz-le-1ch-4bytes-early-eof.wav", "Unknown WAVE data format: 0xfffe"},
        {"wav/scipy/test-44100Hz-le-1ch-4bytes-incomplete-chunk.wav", ReadError}, // 13 bytes
        {"wav/scipy/test-8000Hz-le-3ch-5S-24bit-inconsistent.wav", "Unknown 24-bit PCM data format"},
        // fmt, then a LIST of odd-sized subchunks and no data; the RIFF size claims 23 MB.
        {"wav/uttori-audio-wave/ODD-CHUNK-LIST-INFO.wav", ReadError},
        {"wav/uttori-audio-wave/bad_header_riff.wav", "Unrecognized sound file type"}, // "RIFD"
        {"wav/uttori-audio-wave/bad_header_wave.wav", "Unrecognized file type (not WAVE)"},
        {"wav/uttori-audio-wave/odd_junk_size.wav", "Complex WAVE files not supported"},
        {"wav/uttori-audio-wave/unknown_chunk.wav", "Complex WAVE files not supported"}, // "zmt "
    });
    // What the headers claim is never touched: at most a few megabytes more at the peak.
    if (!CheckingAllocator) {
        EXPECT_LT(realdata::peakRssKb() - rssBefore, 32 * 1024);
    }
}

TEST(RealWavs, EveryFileOfTheFolderIsInATable) {
    REALDATA_REQUIRE("wav");
    int total = 0;
    for (const char* sub : {"go-audio-wav", "hound", "hound/fuzz", "scipy", "uttori-audio-wave"}) {
        total += static_cast<int>(realdata::files(std::string("wav/") + sub, ".wav").size());
    }
    EXPECT_EQ(total, 14 + 14 + 17);
}

} // namespace
