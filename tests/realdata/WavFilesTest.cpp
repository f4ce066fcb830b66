// Third-party WAV files, valid and malformed, each offered as "0.wav" of a fresh sound
// directory (a symbolic link to the file, read in place).
#include "engine/SoundManager.h"

#include "realdata/RealData.h"
#include "support/AudioTools.h"
#include "support/CapturedOutput.h"
#include "support/TempDir.h"

#include <chrono>
#include <gtest/gtest.h>
#include <set>
#include <sys/resource.h>
#include <unistd.h>

namespace {

#ifdef __SANITIZE_ADDRESS__
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif

// Plain PCM of 8 and 16 bits, with or without extra chunks; every other file of the folder,
// in other encodings or damaged (chunk sizes past the end of the file, fuzzer finds, wrong
// magic words), is refused.
const std::set<std::string> Playable = {"go-audio-wav/8bit.wav",
                                        "go-audio-wav/kick-16b441k.wav",
                                        "go-audio-wav/kick.wav",
                                        "go-audio-wav/listinfo.wav",
                                        "hound/pcmwaveformat-16bit-44100Hz-mono-extra.wav",
                                        "hound/pcmwaveformat-16bit-44100Hz-mono.wav",
                                        "hound/pcmwaveformat-8bit-44100Hz-mono.wav",
                                        "hound/waveformatex-16bit-44100Hz-mono-extra.wav",
                                        "hound/waveformatex-16bit-44100Hz-mono.wav",
                                        "hound/waveformatex-16bit-44100Hz-stereo.wav",
                                        "hound/waveformatex-8bit-11025Hz-mono.wav",
                                        "scipy/test-8000Hz-le-2ch-1byteu.wav",
                                        "uttori-audio-wave/pluck-pcm16.wav",
                                        "uttori-audio-wave/pluck-pcm8.wav"};

long peakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST(RealWavs, PlainPcmLoadsAndEverythingElseIsReportedMissingCheaply) {
    REALDATA_REQUIRE("wav");
    ASSERT_TRUE(audiotest::openDummyAudio()) << SDL_GetError();
    const long rssBefore = peakRssKb();
    int files = 0;
    for (const char* folder :
         {"go-audio-wav", "hound", "hound/fuzz", "scipy", "uttori-audio-wave"}) {
        for (const std::string& name : realdata::files(std::string("wav/") + folder, ".wav")) {
            const std::string file = std::string(folder) + "/" + name;
            const bool plays = Playable.count(file) > 0;
            TempDir dir;
            ASSERT_EQ(symlink(realdata::path("wav/" + file).c_str(), dir.file("0.wav").c_str()), 0);
            CapturedOutput output;
            const auto start = std::chrono::steady_clock::now();
            SoundManager sounds(dir.path().c_str());
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            if (plays) {
                sounds.play(0); // what loads also plays
                Mix_HaltChannel(-1);
            }
            output.stop();
            EXPECT_EQ(output.err(), dir.file(plays ? "1.wav" : "0.wav") + " is missing\n") << file;
            EXPECT_EQ(output.out(), "") << file;
            // SDL 1.2 allocates what a header claims before it finds the data missing; under
            // AddressSanitizer that costs the shadow memory's time.
            EXPECT_LT(took.count(), sanitized ? 20.0 : 2.0) << file;
            ++files;
        }
    }
    EXPECT_EQ(files, 45);
    if (!sanitized) {
        EXPECT_LT(peakRssKb() - rssBefore, 32 * 1024)
            << "what the headers claim must not be touched";
    }
}

} // namespace
