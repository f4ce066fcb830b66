#include "engine/ColourKey.h"

namespace {

bool paletteHolds(const SDL_Palette* palette, Uint8 red, Uint8 green, Uint8 blue) {
    for (int i = 0; i < palette->ncolors; ++i) {
        const SDL_Color& c = palette->colors[i];
        if (c.r == red && c.g == green && c.b == blue) {
            return true;
        }
    }
    return false;
}

} // namespace

void setColourKey(SDL_Surface* surface, Uint8 red, Uint8 green, Uint8 blue) {
    const SDL_Palette* palette = surface->format->palette;
    if (palette != nullptr && !paletteHolds(palette, red, green, blue)) {
        return;
    }
    SDL_SetColorKey(surface, SDL_SRCCOLORKEY, SDL_MapRGB(surface->format, red, green, blue));
}
