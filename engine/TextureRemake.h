#pragma once
// Textures made again when SDL replaces the GL context (a change of video mode may): each
// texture made from a picture file is remembered with the file and its key colour until it is
// forgotten, and made again under the same name from that file.

#include <GL/gl.h>
#include <SDL.h>

void rememberPicture(GLuint texture, const char* file, Uint8 red, Uint8 green, Uint8 blue);
void forgetPicture(GLuint texture);

// When the current GL context does not know the remembered textures (SDL made a new one),
// makes each again from its file, which must still load; one that does not stays empty after
// "WARN) Could not load <file> again for the new GL context" on standard error. Returns how
// many were made again (0 in a context that knows them).
int remakeLostTextures();
