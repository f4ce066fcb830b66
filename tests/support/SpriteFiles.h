#pragma once
// Writes numbered solid-colour pictures ("0.png", "1.png", ... in BMP form, which the
// image loader recognises by content) so drawing can be checked by colour.

#include "support/GlWindow.h"

#include <string>

// A colour per sprite id, distinct for ids 0 to 40 and never the magenta key.
Rgba spriteColour(int id);

// Writes `count` solid size x size pictures into `directory`, id i in spriteColour(i).
void writeSolidSprites(const std::string& directory, int count, int size = 8);
