#include "engine/SpriteManager.h"

#include "engine/PictureLoad.h"
#include "engine/QuadDraw.h"
#include "engine/TextureRemake.h"
#include "engine/TextureUpload.h"

#include <GL/gl.h>
#include <SDL.h>
#include <cstdio>
#include <cstdlib>

namespace {

// File names are formed in a buffer of this size; a name that does not fit is treated
// as a missing file rather than written past the end or silently shortened into
// another file's name.
constexpr int NameBufferSize = 200;

// Where the out-of-RAM failure reports itself from (a fixed place, so the line reads
// the same on every build).
constexpr const char* SourcePlace = ".\\engine\\SpriteManager";
constexpr int SourceLine = 70;

constexpr int InitialView = 100000;

} // namespace

SpriteManager::SpriteManager(const char* directory)
    : viewWidth(InitialView), viewHeight(InitialView) {
    int loaded = 0;
    for (int i = 0;; ++i) {
        char name[NameBufferSize];
        const int length = std::snprintf(name, sizeof name, "%s/%i.png", directory, i);
        if (length < 0 || length >= NameBufferSize) {
            // The full name would not fit: the file cannot be named, so the set ends here.
            std::fprintf(stderr, "Sorry, sprite %s is missing\n", name);
            break;
        }
        if (loadTexture(name, 255, 0, 255) < 0) {
            break;
        }
        loaded = i + 1;
    }
    std::printf("Loaded %i sprites\n", loaded);
}

SpriteManager::~SpriteManager() {
    clear();
}

void SpriteManager::setScreenSize(int width, int height) {
    viewWidth = width;
    viewHeight = height;
}

int SpriteManager::loadTexture(const char* file, int red, int green, int blue) {
    SDL_Surface* picture = loadPicture(file);
    if (picture == nullptr) {
        std::fprintf(stderr, "Sorry, sprite %s is missing\n", file);
        return -1;
    }

    auto cell = std::make_unique<GLuint>(0);
    glGenTextures(1, cell.get());
    const Uint8 key[3] = {static_cast<Uint8>(red), static_cast<Uint8>(green),
                          static_cast<Uint8>(blue)};
    if (!uploadKeyed(*cell, picture, key[0], key[1], key[2])) {
        std::fprintf(
            stderr,
            "FAIL %s, %i) New surface couldn't be created for %s. Likely cause: out of RAM\n",
            SourcePlace, SourceLine, file);
        std::exit(1);
    }
    rememberPicture(*cell, file, key[0], key[1], key[2]);
    SDL_FreeSurface(picture);
    textures.push_back(std::move(cell));
    return count() - 1;
}

GLuint* SpriteManager::getTexture(int id) {
    if (id >= 0 && id < count()) {
        return textures[static_cast<size_t>(id)].get();
    }
    std::fprintf(stderr, "Requested sprite %i is out of bounds\n", id);
    return nullptr;
}

void SpriteManager::drawRotated(int id, int x, int y, int width, int height, float angle) {
    if (x == CentreSentinel && y == CentreSentinel) {
        x = viewWidth / 2;
        y = viewHeight / 2;
    }
    // In 64 bits so that extreme sizes cannot overflow the test.
    const long long left = x;
    const long long top = y;
    if (left < -static_cast<long long>(width) || left >= viewWidth ||
        top < -static_cast<long long>(height) || top >= viewHeight) {
        return;
    }

    const GLuint* texture = getTexture(id);
    if (texture == nullptr) {
        std::fprintf(stderr, "FAIL) Requested dead sprite %i to be drawn at (%i,%i)\n", id, x, y);
        return;
    }
    const float hw = static_cast<float>(width / 2);
    const float hh = static_cast<float>(height / 2);
    drawTurnedQuad(*texture, static_cast<float>(x) + hw, static_cast<float>(y) + hh, hw, hh, angle);
}

void SpriteManager::draw(int id, int x, int y, int width, int height) {
    drawRotated(id, x, y, width, height, 0.0f);
}

void SpriteManager::clear() {
    for (const auto& cell : textures) {
        forgetPicture(*cell);
    }
    textures.clear();
    textures.shrink_to_fit();
}
