#include "support/SpriteFiles.h"

#include <SDL.h>
#include <stdexcept>

Rgba spriteColour(int id) {
    return Rgba{static_cast<std::uint8_t>(40 + 5 * id), static_cast<std::uint8_t>(250 - 6 * id),
                static_cast<std::uint8_t>((id * 37) % 200), 255};
}

void writeSolidSprites(const std::string& directory, int count, int size) {
    for (int id = 0; id < count; ++id) {
        SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, size, size, 32, 0x000000FF,
                                                    0x0000FF00, 0x00FF0000, 0);
        if (surface == nullptr) {
            throw std::runtime_error("cannot create test surface");
        }
        const Rgba c = spriteColour(id);
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, c.r, c.g, c.b));
        const std::string name = directory + "/" + std::to_string(id) + ".png";
        SDL_SaveBMP(surface, name.c_str());
        SDL_FreeSurface(surface);
    }
}
