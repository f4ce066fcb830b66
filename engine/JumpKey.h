#pragma once
// The jump key's momentary state, read at the moment of the call rather than from the
// event queue: the play frame asks for it directly while it updates.

// True while the space bar, the left mouse button or any button of an open joystick is
// held down. Pumps SDL's event queue first so the keyboard, mouse and joystick states are
// current; pumping only adds events to the queue, it drops none.
bool jumpKeyDown();

// Opens every joystick present when called (none is fine, and says nothing) so that
// jumpKeyDown() reads their buttons; their axis, ball and hat events are switched off, as
// nothing reads them. Needs SDL started with its joystick subsystem; called again while
// they are open, it does nothing. They are closed at process exit, before an SDL_Quit
// registered with atexit before this call.
void openJoysticks();

// Test seam: replaces the key query. Pass nullptr to go back to the keyboard, mouse and
// joysticks.
using JumpKeySource = bool (*)();
void setJumpKeySource(JumpKeySource source);
