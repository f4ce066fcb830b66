// Third-party MIDI files through the music operations, with SDL's dummy audio driver and
// the real SoundFont: valid files open and play, damaged ones play what they can or are
// refused through the open-error line, and none crashes or hangs.
#include "engine/Music.h"

#include "realdata/RealData.h"
#include "support/AudioTools.h"
#include "support/CapturedOutput.h"

#include <SDL.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const std::string OpenError = "Hoplings: Error. Error: Could not open MCI device.\n";

// A file that takes more than 10 s to open, start and be asked about ends the process,
// named on standard error, instead of waiting for CTest's timeout.
char hangingFile[512];
extern "C" void onHang(int) {
    const char prefix[] = "HANG: ";
    [[maybe_unused]] ssize_t n = write(2, prefix, sizeof prefix - 1);
    n = write(2, hangingFile, std::strlen(hangingFile));
    std::_Exit(3);
}

// Opens, starts and asks about each file; `plays` says whether it should open and be
// playing, otherwise it must be refused with the open-error line and nothing else.
void expectEach(const std::vector<std::pair<std::string, bool>>& cases) {
    ASSERT_TRUE(audiotest::openDummyAudio()) << SDL_GetError();
    std::signal(SIGALRM, onHang);
    for (const auto& [file, plays] : cases) {
        std::snprintf(hangingFile, sizeof hangingFile, "%s\n", file.c_str());
        alarm(10);
        CapturedOutput output;
        const std::uint32_t id = openTrack(realdata::path("midi/" + file).c_str());
        if (id != 0) {
            playTrack(id);
        }
        const bool playing = id != 0 && trackIsPlaying(id);
        closeAllTracks();
        output.stop();
        alarm(0);
        EXPECT_EQ(id != 0, plays) << file;
        EXPECT_EQ(playing, plays) << file;
        EXPECT_EQ(output.err(), plays ? "" : OpenError) << file;
        EXPECT_EQ(output.out(), "") << file;
    }
}

std::string jazz(const char* name) {
    return std::string("jazz-soft-test-midi-files/") + name;
}

TEST(RealMidi, FormatZeroOneAndTwoFilesOpenAndPlay) {
    REALDATA_REQUIRE("midi");
    // Every well-formed file of the purpose-built set; the damaged ones are refused below.
    std::vector<std::pair<std::string, bool>> cases;
    for (const std::string& name : realdata::files("midi/jazz-soft-test-midi-files", ".mid")) {
        bool damaged = false;
        for (const char* bad : {"illegal", "running-status-", "missing-byte", "empty-file", "not-a-midi"}) {
            damaged = damaged || name.find(bad) != std::string::npos;
        }
        if (!damaged) {
            cases.emplace_back(jazz(name.c_str()), true);
        }
    }
    // With format 2, format 0 holding two tracks, one byte after the last track.
    EXPECT_EQ(cases.size(), 53u);
    for (const char* file : {
             "midly/Clementi.mid",   // 1330 running-status events
             "midly/SysExTest.mid",  // a two-byte-length sysex, an empty track, no End-of-Track
             "nfroidure-midifile/MIDIOkFormat0.mid",
             "nfroidure-midifile/MIDIOkFormat1.mid",
             "nfroidure-midifile/MIDIOkFormat1-lyrics.mid",
             "nfroidure-midifile/MIDIOkFormat2.mid", // nine tracks, played together
             "nfroidure-midifile/MIDIBadFormat1.mid", // valid despite its name
             "nfroidure-midifile/tunes-cc-by-sa/Avgvst_BWV1007Prelude.mid",
             "nfroidure-midifile/tunes-cc-by-sa/Avgvst_Fanfare.mid",
             "nfroidure-midifile/tunes-cc-by-sa/Avgvst_LettingGo.mid", // 225 tempo changes
             "nfroidure-midifile/tunes-cc-by-sa/Avgvst_Lullaby.mid",
             "nfroidure-midifile/tunes-cc-by-sa/Avgvst_Victory.mid",
             "nfroidure-midifile/tunes-cc-by-sa/HorrorPen_SpiritWaltz.mid",
             "nfroidure-midifile/tunes-cc-by-sa/Yubatake_GameOver.mid", // 960 ticks a beat
             "nfroidure-midifile/tunes-cc-by-sa/Yubatake_GoodMorning.mid",
         }) {
        cases.emplace_back(file, true);
    }
    expectEach(cases);
}

TEST(RealMidi, DamagedEmptyAndNonMidiFilesAreRefusedWithTheOpenErrorLine) {
    REALDATA_REQUIRE("midi");
    std::vector<std::pair<std::string, bool>> cases;
    for (const std::string& name : realdata::files("midi/jazz-soft-test-midi-files", ".mid")) {
        if (name.find("illegal-message") != std::string::npos) {
            cases.emplace_back(jazz(name.c_str()), false); // system common/real-time bytes
        }
    }
    EXPECT_EQ(cases.size(), 14u);
    for (const std::string& file : {
             // Meta or sysex events between notes that rely on running status: these cancel
             // running status, so the notes after them have no status byte.
             jazz("test-running-status-metaevent.mid"),
             jazz("test-running-status-sysex.mid"),
             jazz("test-corrupt-file-missing-byte.mid"), // track runs past the end
             jazz("test-empty-file.mid"),
             jazz("test-not-a-midi-file.mid"),
             jazz("test-syx-7e-06-01-id-request.syx"),
             jazz("LICENSE.md"),
             std::string("midly/PiDamaged.mid"),             // cut at 64 KiB inside a 1.19 MB track
             std::string("midly/Beethoven.rmi"),             // an SMF inside a RIFF RMID wrapper
             std::string("nfroidure-midifile/MIDIBadHeaderChunk.mid"),     // "MT0d"
             std::string("nfroidure-midifile/MIDIBadHeaderFormat.mid"),    // format 3
             std::string("nfroidure-midifile/MIDIBadHeaderLength.mid"),    // header length 22
             std::string("nfroidure-midifile/MIDIBadHeaderSMTPE.mid"),     // SMPTE, invalid rate
             std::string("nfroidure-midifile/MIDIBadHeaderTracksNum.mid"), // says 2 tracks, has 1
             std::string("nfroidure-midifile/MIDIBadTrackHdr.mid"),        // "mTrk"
             std::string("nfroidure-midifile/MIDIBadTrackLength.mid"),     // track length 16 MB
         }) {
        cases.emplace_back(file, false);
    }
    expectEach(cases);
}

TEST(RealMidi, AFileWithNothingButItsEndPlaysAndEnds) {
    REALDATA_REQUIRE("midi");
    ASSERT_TRUE(audiotest::openDummyAudio()) << SDL_GetError();
    CapturedOutput output;
    const std::uint32_t id = openTrack(realdata::path("midi/" + jazz("test-empty.mid")).c_str());
    ASSERT_NE(id, 0u);
    playTrack(id);
    EXPECT_TRUE(audiotest::waitUntil([&] { return !trackIsPlaying(id); }, 3000));
    closeAllTracks();
    EXPECT_EQ(output.err(), "");
}

} // namespace
