#include "engine/Music.h"

#include "engine/MidiFileCheck.h"
#include "engine/MidiSynth.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Debian's General MIDI SoundFonts, best first: the system's chosen default, then the
// small and the large font that the packages install, then the default of the compressed
// fonts.
const std::vector<std::string> DebianSoundFonts = {
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf3/default-GM.sf3",
};
// Where other distributions put theirs.
const char* const SoundFontFolder = "/usr/share/soundfonts";

// The SoundFonts to try, in order: the user's SDL_SOUNDFONTS (colon-separated, as
// SDL_mixer reads it), Debian's, then every .sf2 and .sf3 of SoundFontFolder by name.
std::vector<std::string> soundFonts() {
    std::vector<std::string> fonts;
    if (const char* chosen = std::getenv("SDL_SOUNDFONTS")) {
        std::istringstream list(chosen);
        for (std::string path; std::getline(list, path, ':');) {
            if (!path.empty()) {
                fonts.push_back(path);
            }
        }
    }
    fonts.insert(fonts.end(), DebianSoundFonts.begin(), DebianSoundFonts.end());
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(SoundFontFolder, error)) {
        const std::string extension = entry.path().extension().string();
        if (extension == ".sf2" || extension == ".sf3") {
            found.push_back(entry.path().string());
        }
    }
    std::sort(found.begin(), found.end());
    fonts.insert(fonts.end(), found.begin(), found.end());
    return fonts;
}

// MIDI files are a few kilobytes; anything far bigger is not one of ours.
constexpr long MaxFileBytes = 16L * 1024 * 1024;

struct Track {
    std::vector<unsigned char> file; // kept to start the track afresh once it has ended
    fluid_player_t* player = nullptr;
};

// The open tracks and the synthesizer they share: process-wide, like the sequencer
// devices they stand in for.
struct MusicState {
    std::unique_ptr<MidiSynth> synth;
    std::map<std::uint32_t, Track> tracks;
    std::uint32_t nextId = 1;

    ~MusicState() {
        closeAll();
        synth.reset();
    }

    void closeAll() {
        if (tracks.empty()) {
            return;
        }
        synth->lock();
        for (auto& entry : tracks) {
            delete_fluid_player(entry.second.player);
        }
        synth->silence();
        synth->unlock();
        tracks.clear();
        synth->disconnect();
    }
};

// FluidSynth keeps a player "playing" for a grace period after its last event so that
// notes can ring out; the track itself has ended when its last tick has been played.
bool pastEnd(fluid_player_t* player) {
    const int total = fluid_player_get_total_ticks(player); // 0 until the file is loaded
    return total > 0 && fluid_player_get_current_tick(player) >= total;
}

bool isPlaying(fluid_player_t* player) {
    return fluid_player_get_status(player) == FLUID_PLAYER_PLAYING && !pastEnd(player);
}

bool hasEnded(fluid_player_t* player) {
    return fluid_player_get_status(player) == FLUID_PLAYER_DONE || pastEnd(player);
}

MusicState& music() {
    static MusicState state;
    return state;
}

void reportOpenFailure() {
    std::fprintf(stderr, "Hoplings: Error. Error: Could not open MCI device.\n");
}

bool readFile(const char* path, std::vector<unsigned char>& bytes) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(file) : -1;
    ok = size >= 0 && size <= MaxFileBytes && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    return ok;
}

} // namespace

std::uint32_t openTrack(const char* path) {
    MusicState& state = music();
    if (!state.synth) {
        state.synth = std::make_unique<MidiSynth>(soundFonts());
    }

    std::vector<unsigned char> bytes;
    if (path == nullptr || !readFile(path, bytes) || !isPlayableMidiFile(bytes.data(), bytes.size()) ||
        !fluid_is_midifile(path)) {
        reportOpenFailure();
        return 0;
    }
    state.synth->lock();
    fluid_player_t* player = state.synth->newPlayer(bytes);
    state.synth->unlock();
    if (player == nullptr) {
        reportOpenFailure();
        return 0;
    }

    const std::uint32_t id = state.nextId++;
    if (state.nextId == 0) {
        state.nextId = 1; // 0 means "not open"
    }
    state.tracks[id] = Track{std::move(bytes), player};
    state.synth->connect();
    return id;
}

void playTrack(std::uint32_t id) {
    MusicState& state = music();
    const auto found = state.tracks.find(id);
    if (found == state.tracks.end()) {
        return;
    }
    Track& track = found->second;
    state.synth->lock();
    state.synth->advance();
    // A finished player has used up its playlist; a fresh one starts from the beginning.
    if (hasEnded(track.player)) {
        if (fluid_player_t* fresh = state.synth->newPlayer(track.file)) {
            delete_fluid_player(track.player);
            track.player = fresh;
        }
    }
    const bool fromTheStart = fluid_player_get_status(track.player) == FLUID_PLAYER_READY;
    bool othersPlaying = false;
    for (const auto& entry : state.tracks) {
        othersPlaying = othersPlaying || (entry.first != id && isPlaying(entry.second.player));
    }
    if (fromTheStart && !othersPlaying) {
        // Programs and controllers left by the previous track must not colour this one.
        state.synth->silence();
    }
    fluid_player_play(track.player);
    state.synth->unlock();
}

bool trackIsPlaying(std::uint32_t id) {
    MusicState& state = music();
    const auto found = state.tracks.find(id);
    if (found == state.tracks.end()) {
        return false;
    }
    state.synth->lock();
    state.synth->advance();
    const bool playing = isPlaying(found->second.player);
    state.synth->unlock();
    return playing;
}

void closeAllTracks() {
    music().closeAll();
}
