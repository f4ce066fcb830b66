// Third-party MIDI files through the music operations, with SDL's dummy audio driver and
// the real SoundFont: valid files open and play, damaged ones play what they can or are
// refused through the open-error line, and none crashes or hangs.
#include "engine/Music.h"

#include "realdata/RealData.h"
#include "support/AudioTools.h"
#include "support/CapturedOutput.h"

#include <SDL.h>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace {

const std::string OpenError = "Hoplings: Error. Error: Could not open MCI device.\n";

// Ends the process, naming the file, when one file takes longer than a few seconds to
// open, start and be asked about: a hang fails at once instead of at CTest's timeout.
class Watchdog {
public:
    Watchdog() : thread_([this] { watch(); }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    void start(const std::string& file) {
        std::lock_guard<std::mutex> lock(mutex_);
        file_ = file;
        deadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        armed_ = true;
        wake_.notify_one();
    }
    void done() {
        std::lock_guard<std::mutex> lock(mutex_);
        armed_ = false;
    }

private:
    void watch() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!stop_) {
            if (armed_ && std::chrono::steady_clock::now() > deadline_) {
                std::fprintf(stderr, "HANG: %s took more than 10 s\n", file_.c_str());
                std::_Exit(3);
            }
            wake_.wait_for(lock, std::chrono::milliseconds(100));
        }
    }
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string file_;
    std::chrono::steady_clock::time_point deadline_;
    bool armed_ = false;
    bool stop_ = false;
    std::thread thread_;
};

struct Outcome {
    bool opened;
    bool playing; // right after playTrack
    std::string err;
};

Outcome openAndPlay(Watchdog& watchdog, const std::string& file) {
    watchdog.start(file);
    CapturedOutput output;
    const std::uint32_t id = openTrack(realdata::path(file).c_str());
    bool playing = false;
    if (id != 0) {
        playTrack(id);
        playing = trackIsPlaying(id);
    }
    closeAllTracks();
    output.stop();
    watchdog.done();
    EXPECT_EQ(output.out(), "") << file;
    return Outcome{id != 0, playing, output.err()};
}

// Opens, starts and asks about each file; `plays` says whether it should open and be
// playing, otherwise it must be refused with the open-error line and nothing else.
void expectEach(const std::vector<std::pair<const char*, bool>>& cases) {
    ASSERT_TRUE(audiotest::openDummyAudio()) << SDL_GetError();
    Watchdog watchdog;
    for (const auto& [file, plays] : cases) {
        const Outcome o = openAndPlay(watchdog, std::string("midi/") + file);
        EXPECT_EQ(o.opened, plays) << file;
        EXPECT_EQ(o.playing, plays) << file;
        EXPECT_EQ(o.err, plays ? "" : OpenError) << file;
    }
}

const char* const Jazz = "jazz-soft-test-midi-files/";

std::string jazz(const char* name) {
    return std::string(Jazz) + name;
}

TEST(RealMidi, FormatZeroAndOneFilesOpenAndPlay) {
    REALDATA_REQUIRE("midi");
    std::vector<std::pair<const char*, bool>> cases;
    // Every well-formed format 0 and 1 file of the purpose-built set; the damaged ones and
    // the running-status ones are in the tests below.
    std::vector<std::string> names;
    for (const std::string& name : realdata::files("midi/jazz-soft-test-midi-files", ".mid")) {
        if (name.find("corrupt") == std::string::npos && name.find("illegal") == std::string::npos &&
            name.find("running-status") == std::string::npos &&
            name.find("tracks-type-0") == std::string::npos &&
            name.find("tracks-type-2") == std::string::npos && name.find("empty-file") == std::string::npos &&
            name.find("not-a-midi") == std::string::npos) {
            names.push_back(jazz(name.c_str()));
        }
    }
    EXPECT_EQ(names.size(), 50u);
    for (const std::string& name : names) {
        cases.emplace_back(name.c_str(), true);
    }
    for (const char* file : {
             "midly/Clementi.mid",   // 1330 running-status events
             "midly/SysExTest.mid",  // a two-byte-length sysex, an empty track, no End-of-Track
             "nfroidure-midifile/MIDIOkFormat0.mid",
             "nfroidure-midifile/MIDIOkFormat1.mid",
             "nfroidure-midifile/MIDIOkFormat1-lyrics.mid",
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

TEST(RealMidi, UnusualButReadableFilesPlayWhatTheyHold) {
    REALDATA_REQUIRE("midi");
    const std::string twoTracksType0 = jazz("test-2-tracks-type-0.mid");
    const std::string type2 = jazz("test-2-tracks-type-2.mid");
    const std::string extraByte = jazz("test-corrupt-file-extra-byte.mid");
    expectEach({
        {type2.c_str(), true},                            // format 2: the tracks play together
        {"nfroidure-midifile/MIDIOkFormat2.mid", true},   // format 2, nine tracks
        {twoTracksType0.c_str(), true},                   // format 0 that holds two tracks
        {extraByte.c_str(), true},                        // one byte after the last track
    });
}

TEST(RealMidi, DamagedFilesAreRefusedWithTheOpenErrorLine) {
    REALDATA_REQUIRE("midi");
    std::vector<std::string> names;
    for (const std::string& name : realdata::files("midi/jazz-soft-test-midi-files", ".mid")) {
        if (name.find("illegal-message") != std::string::npos) {
            names.push_back(jazz(name.c_str())); // system common/real-time bytes in a track
        }
    }
    EXPECT_EQ(names.size(), 14u);
    // Meta or sysex events between notes that rely on running status: the file format says
    // these cancel running status, so the notes after them have no status byte.
    names.push_back(jazz("test-running-status-metaevent.mid"));
    names.push_back(jazz("test-running-status-sysex.mid"));
    names.push_back(jazz("test-corrupt-file-missing-byte.mid")); // track runs past the end
    for (const char* file : {
             "midly/PiDamaged.mid",          // cut at 64 KiB inside a 1.19 MB track
             "midly/Beethoven.rmi",          // an SMF inside a RIFF RMID wrapper
             "nfroidure-midifile/MIDIBadHeaderChunk.mid",    // "MT0d"
             "nfroidure-midifile/MIDIBadHeaderFormat.mid",   // format 3
             "nfroidure-midifile/MIDIBadHeaderLength.mid",   // header length 22
             "nfroidure-midifile/MIDIBadHeaderSMTPE.mid",    // SMPTE time base, invalid rate
             "nfroidure-midifile/MIDIBadHeaderTracksNum.mid",// says 2 tracks, has 1
             "nfroidure-midifile/MIDIBadTrackHdr.mid",       // "mTrk"
             "nfroidure-midifile/MIDIBadTrackLength.mid",    // track length 16 MB
         }) {
        names.emplace_back(file);
    }
    std::vector<std::pair<const char*, bool>> cases;
    for (const std::string& name : names) {
        cases.emplace_back(name.c_str(), false);
    }
    expectEach(cases);
}

TEST(RealMidi, EmptyAndNonMidiFilesAreRefused) {
    REALDATA_REQUIRE("midi");
    const std::string empty = jazz("test-empty-file.mid");
    const std::string notMidi = jazz("test-not-a-midi-file.mid");
    const std::string sysex = jazz("test-syx-7e-06-01-id-request.syx");
    const std::string license = jazz("LICENSE.md");
    expectEach({{empty.c_str(), false}, {notMidi.c_str(), false}, {sysex.c_str(), false},
                {license.c_str(), false}});
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
