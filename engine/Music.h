#pragma once
// Background music: Standard MIDI Files played by one software synthesizer whose output is
// mixed into the audio device that initAudio() opened.
//
// A track is known by a non-zero id. Tracks play asynchronously; the caller only starts
// them and asks whether they are still playing.

#include <cstdint>

// Opens a MIDI file as a new track. Returns its id, or 0 after one line on standard error
// carrying the caption "Hoplings: Error." and the text "Error: Could not open MCI device."
// when the file is missing or is not a Standard MIDI File.
std::uint32_t openTrack(const char* path);

// Starts the track playing from where it stopped and returns at once; a track that has
// played to its end starts again from its beginning. Unknown ids are ignored.
void playTrack(std::uint32_t id);

// True while the track is playing; false for ids that are not open.
bool trackIsPlaying(std::uint32_t id);

// Stops and closes every track. With none open it does nothing.
void closeAllTracks();
