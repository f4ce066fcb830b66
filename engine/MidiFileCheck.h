#pragma once
// Structural check of a Standard MIDI File held in memory, done before a file is handed
// to the synthesizer so that a damaged file is refused when it is opened, not discovered
// later on the audio thread.

#include <cstddef>

// True when `data` holds a complete Standard MIDI File the player can time: an "MThd"
// header of format 0, 1 or 2 with at least one track and a non-zero ticks-per-quarter-note
// time base (SMPTE time bases are refused), followed by at least that many "MTrk" chunks
// that lie wholly inside the data and whose events each end inside their chunk. Files of
// more than a million events, or of more than 10,000 at one tick (all tracks together),
// are refused too: playing them would hold the audio lock for seconds.
// Other chunk types are skipped; bytes after the last needed track are ignored.
bool isPlayableMidiFile(const unsigned char* data, std::size_t size);
