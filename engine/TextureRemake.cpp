#include "engine/TextureRemake.h"

#include "engine/PictureLoad.h"
#include "engine/TextureUpload.h"

#include <cstdio>
#include <map>
#include <string>

namespace {

struct PictureSource {
    std::string file;
    Uint8 red, green, blue;
};

// By texture name, for the whole process, like the textures themselves.
std::map<GLuint, PictureSource>& remembered() {
    static std::map<GLuint, PictureSource> sources;
    return sources;
}

} // namespace

void rememberPicture(GLuint texture, const char* file, Uint8 red, Uint8 green, Uint8 blue) {
    remembered()[texture] = PictureSource{file, red, green, blue};
}

void forgetPicture(GLuint texture) {
    remembered().erase(texture);
}

int remakeLostTextures() {
    auto& sources = remembered();
    if (sources.empty() || glIsTexture(sources.begin()->first) == GL_TRUE) {
        return 0;
    }
    int made = 0;
    for (const auto& [texture, source] : sources) {
        SDL_Surface* picture = loadPicture(source.file.c_str());
        // Binding a name the new context has not made yet makes it there.
        if (picture != nullptr &&
            uploadKeyed(texture, picture, source.red, source.green, source.blue)) {
            ++made;
        } else {
            std::fprintf(stderr, "WARN) Could not load %s again for the new GL context\n",
                         source.file.c_str());
        }
        SDL_FreeSurface(picture);
    }
    return made;
}
