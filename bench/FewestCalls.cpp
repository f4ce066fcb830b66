// Frame baseline: the game's frame drawn with the fewest GL calls. The pictures are loaded
// as the game loads them; the quads of a frame (the same quads at the same places as the
// game's frame of the same scene, see bench/Scene.h) are laid out once in one vertex
// array, and each frame binds every picture once and draws all its quads with one
// glDrawArrays. No matrix pushes, no per-quad state.
//
//   fewest_calls menu|play N FRAMES RUNS
//
// Run from a directory holding the game's ./media. BENCH_FRAME_DUMP=<file> writes the last
// frame's pixels there.

#include "bench/BenchSupport.h"
#include "bench/MinimalGl.h"
#include "bench/Scene.h"

#include "engine/MoxBitmapFont.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Batch {
    GLuint texture;
    GLint first; // first vertex in the shared arrays
    GLsizei count;
};

class Frame {
public:
    // Starts the quads of one picture; the quads added until the next call share its bind.
    void picture(GLuint texture) {
        batches.push_back({texture, static_cast<GLint>(xy.size() / 2), 0});
    }
    // A quad from (x, y) to (x + w, y + h) showing texels (s0, t0) to (s1, t1).
    void quad(float x, float y, float w, float h, float s0 = 0, float t0 = 0, float s1 = 1,
              float t1 = 1) {
        const float corners[] = {x, y, x + w, y, x + w, y + h, x, y + h};
        const float texels[] = {s0, t0, s1, t0, s1, t1, s0, t1};
        xy.insert(xy.end(), corners, corners + 8);
        st.insert(st.end(), texels, texels + 8);
        batches.back().count += 4;
    }
    // A sprite as the game places it: odd sizes lose their last pixel, rectangles wholly
    // outside the 800 x 600 view are left out.
    void sprite(int x, int y, int w, int h) {
        if (x < -w || x >= 800 || y < -h || y >= 600) {
            return;
        }
        quad(static_cast<float>(x), static_cast<float>(y), static_cast<float>(w / 2 * 2),
             static_cast<float>(h / 2 * 2));
    }
    void text(const MoxBitmapFont& font, const std::string& line, int x, int y) {
        const float k = 1.0f / 256.0f;
        int pen = x;
        for (unsigned char c : line) {
            const Glyph& g = font.glyphs[c];
            if (g.width > 0 && g.height > 0) {
                quad(static_cast<float>(pen + g.xoffset), static_cast<float>(y + g.yoffset),
                     static_cast<float>(g.width), static_cast<float>(g.height), g.x * k, g.y * k,
                     (g.x + g.width) * k, (g.y + g.height) * k);
            }
            pen += g.xadvance;
        }
    }

    void bindArrays() const {
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(2, GL_FLOAT, 0, xy.data());
        glTexCoordPointer(2, GL_FLOAT, 0, st.data());
    }
    void draw() const {
        for (const Batch& batch : batches) {
            glBindTexture(GL_TEXTURE_2D, batch.texture);
            glDrawArrays(GL_QUADS, batch.first, batch.count);
        }
    }
    std::size_t pictures() const { return batches.size(); }

private:
    std::vector<float> xy;
    std::vector<float> st;
    std::vector<Batch> batches;
};

Frame menuFrame(const std::vector<GLuint>& pictures) {
    Frame frame;
    frame.picture(pictures[18]);
    frame.sprite(0, 0, 800, 600);
    frame.picture(pictures[19]);
    frame.sprite(7, 177, 64, 64);
    return frame;
}

// The play frame in the game's order: background, clouds, objects, ground, player, text.
Frame playFrame(const std::vector<GLuint>& pictures, const MoxBitmapFont& font, int count) {
    Frame frame;
    frame.picture(pictures[0]);
    frame.sprite(0, 0, 800, 600);
    int kind = -1;
    for (const bench::Placed& cloud : bench::sceneClouds()) {
        if (cloud.kind != kind) {
            kind = cloud.kind;
            frame.picture(pictures[static_cast<std::size_t>(kind + 1)]);
        }
        frame.sprite(cloud.x, cloud.y, 128, 128);
    }
    kind = -1;
    for (const bench::Placed& object : bench::sceneObjects(count)) {
        if (object.kind != kind) {
            kind = object.kind;
            frame.picture(pictures[static_cast<std::size_t>(kind + 9)]);
        }
        frame.sprite(object.x, object.y, 64, 64);
    }
    frame.picture(pictures[5]);
    for (int x = -128; x < 928; x += 128) {
        frame.sprite(x, 472, 128, 128);
    }
    frame.picture(pictures[6]);
    frame.sprite(133, 472, 64, 64);
    frame.picture(*font.pages.front());
    const std::vector<std::string> lines = bench::sceneText();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        frame.text(font, lines[i], 0, static_cast<int>(i) * 45);
    }
    return frame;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5 || (std::strcmp(argv[1], "menu") != 0 && std::strcmp(argv[1], "play") != 0)) {
        std::fprintf(stderr, "usage: fewest_calls menu|play N FRAMES RUNS\n");
        return 2;
    }
    const bool play = std::strcmp(argv[1], "play") == 0;
    const int count = std::atoi(argv[2]);
    const int framesPerRun = std::atoi(argv[3]);
    const int runs = std::atoi(argv[4]);
    if (!bench::openWindow()) {
        std::fprintf(stderr, "fewest_calls: no display\n");
        return 1;
    }
    bench::reportRenderer();
    const std::vector<GLuint> pictures = bench::loadPictures("./media/sprites");
    MoxBitmapFont font("./media/font.png", "./media/font.fnt");
    if (pictures.size() < 24 || !font.ready) {
        std::fprintf(stderr, "fewest_calls: ./media is incomplete\n");
        return 1;
    }
    const Frame frame = play ? playFrame(pictures, font, count) : menuFrame(pictures);
    frame.bindArrays();
    std::printf("binds_per_frame %zu\n", frame.pictures());

    std::vector<double> submit; // microseconds spent issuing the frame's draw calls
    bench::timeFrames(framesPerRun, runs, [] {}, [&](bool counted) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
        }
        const std::int64_t drawStart = bench::nowNs();
        frame.draw();
        if (counted) {
            submit.push_back(static_cast<double>(bench::nowNs() - drawStart) / 1000.0);
        }
        SDL_GL_SwapBuffers();
    });
    bench::report("draw_calls_us", submit);
    bench::dumpFrame(std::getenv("BENCH_FRAME_DUMP"), GL_BACK);
    SDL_Quit();
    return 0;
}
