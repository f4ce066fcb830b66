#pragma once
// Background music: Standard MIDI Files played by one software synthesizer whose output is
// mixed into the audio device that initAudio() opened.
//
// A track is known by a non-zero id. Tracks play asynchronously; the caller only starts
// them and asks whether they are still playing.
//
// The synthesizer (FluidSynth) is created by the first openTrack with the first General
// MIDI SoundFont that loads of: the colon-separated paths of SDL_SOUNDFONTS; Debian's
// /usr/share/sounds/sf2 (default-GM, TimGM6mb, FluidR3_GM) and sf3/default-GM.sf3; the
// .sf2 and .sf3 files of /usr/share/soundfonts. Without a SoundFont, or without an open
// audio device, tracks open and keep time but are silent; a missing SoundFont is reported
// once: "WARN) No General MIDI SoundFont found; music is silent (install
// timgm6mb-soundfont)". Call from the main thread only.

#include <cstdint>

// Opens a MIDI file as a new track. Returns its id, or 0 after the line
// "Hoplings: Error. Error: Could not open MCI device." on standard error (caption, then
// text; nothing blocks) when the file is missing, unreadable, damaged or truncated, or
// not a Standard MIDI File the player can time (SMPTE time bases are refused).
std::uint32_t openTrack(const char* path);

// Starts the track playing from where it stopped and returns at once; a track that has
// played to its end starts again from its beginning. Starting a track from its beginning
// while no other plays resets the synthesizer's channels first. Unknown ids are ignored.
void playTrack(std::uint32_t id);

// True from playTrack until the track's last event has been played (the last notes may
// still ring out); false for ids that are not open.
bool trackIsPlaying(std::uint32_t id);

// Stops and closes every track. With none open it does nothing.
void closeAllTracks();
