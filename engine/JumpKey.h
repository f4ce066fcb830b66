#pragma once
// The jump key's momentary state, read at the moment of the call rather than from the
// event queue: the play frame asks for it directly while it updates.

// True while the space bar is held down. Pumps SDL's event queue first so the keyboard
// state is current; pumping only adds events to the queue, it drops none.
bool jumpKeyDown();

// Test seam: replaces the key query. Pass nullptr to go back to the keyboard.
using JumpKeySource = bool (*)();
void setJumpKeySource(JumpKeySource source);
