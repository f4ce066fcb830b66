// Music in a browser page. FluidSynth cannot run there, so the build renders every MIDI track
// through the same synthesizer and SoundFont into an Ogg Vorbis file beside it ("X.mid" is
// played from "X.ogg"), and one <audio> element plays them: the browser lets an element that
// a key, click or tap once started play again later without another. Until the page's first
// input the browser keeps it silent; the track wanted then starts at that input.
#include "engine/Music.h"

#include <cstdio>
#include <cstring>
#include <emscripten.h>
#include <string>

namespace {

EM_JS(int, addTrack, (const char* path), {
    var m = Module.music;
    if (!m) {
        m = Module.music = {player: new Audio(), tracks: [null], current: 0};
        m.player.muted = !!Module.musicMuted;
        var unlock = function() {
            ['keydown', 'mousedown', 'touchstart'].forEach(function(type) {
                window.removeEventListener(type, unlock, true);
            });
            if (m.current && m.player.paused && !m.player.ended) {
                m.player.play().catch(function() {});
            }
        };
        ['keydown', 'mousedown', 'touchstart'].forEach(function(type) {
            window.addEventListener(type, unlock, true);
        });
    }
    var bytes = FS.readFile(UTF8ToString(path));
    m.tracks.push(URL.createObjectURL(new Blob([bytes], {type: 'audio/ogg'})));
    return m.tracks.length - 1;
});

EM_JS(int, isPlaying, (int id), {
    var m = Module.music;
    return m && m.current == id && !m.player.paused && !m.player.ended ? 1 : 0;
});

EM_JS(void, startTrack, (int id), {
    var m = Module.music;
    if (!m || !m.tracks[id]) return;
    m.current = id;
    m.player.src = m.tracks[id];
    m.player.play().catch(function() {}); // refused before the first input: the unlock retries
});

EM_JS(void, stopAll, (), {
    var m = Module.music;
    if (m) {
        m.player.pause();
        m.current = 0;
        m.tracks.length = 1;
    }
});

void reportOpenFailure() {
    std::fprintf(stderr, "Hoplings: Error. Error: Could not open MCI device.\n");
}

} // namespace

std::uint32_t openTrack(const char* path) {
    std::string rendered = path != nullptr ? path : "";
    const std::size_t dot = rendered.rfind('.');
    rendered = rendered.substr(0, dot == std::string::npos ? rendered.size() : dot) + ".ogg";
    char magic[4] = {};
    std::FILE* file = path != nullptr ? std::fopen(rendered.c_str(), "rb") : nullptr;
    const bool ogg = file != nullptr && std::fread(magic, 1, 4, file) == 4 &&
                     std::memcmp(magic, "OggS", 4) == 0;
    if (file != nullptr) {
        std::fclose(file);
    }
    if (!ogg) {
        reportOpenFailure();
        return 0;
    }
    return static_cast<std::uint32_t>(addTrack(rendered.c_str()));
}

void playTrack(std::uint32_t id) {
    if (isPlaying(static_cast<int>(id)) == 0) {
        startTrack(static_cast<int>(id));
    }
}

bool trackIsPlaying(std::uint32_t id) {
    return isPlaying(static_cast<int>(id)) != 0;
}

void closeAllTracks() {
    stopAll();
}
