// Start-up baseline: the least a program does to present the game's menu frame. It opens
// the window, uploads every picture of ./media/sprites the way the game does, draws the
// menu's two pictures and presents them; nothing else (no audio, no music, no font).
// Started by `pyrokettle_bench spawn`, it prints the milliseconds since its launch.

#include "bench/BenchSupport.h"
#include "bench/MinimalGl.h"

#include <SDL.h>
#include <cstdio>

namespace {

void quad(GLuint texture, float x, float y, float w, float h) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(x, y);
    glTexCoord2f(1, 0);
    glVertex2f(x + w, y);
    glTexCoord2f(1, 1);
    glVertex2f(x + w, y + h);
    glTexCoord2f(0, 1);
    glVertex2f(x, y + h);
    glEnd();
}

} // namespace

int main() {
    const std::int64_t t0 = bench::launchTimeNs();
    if (!bench::openWindow()) {
        std::fprintf(stderr, "minimal_loader: no display\n");
        return 1;
    }
    const std::vector<GLuint> pictures = bench::loadPictures("./media/sprites");
    if (pictures.size() < 20) {
        std::fprintf(stderr, "minimal_loader: ./media/sprites is incomplete\n");
        return 1;
    }
    glClear(GL_COLOR_BUFFER_BIT);
    quad(pictures[18], 0, 0, 800, 600);
    quad(pictures[19], 7, 177, 64, 64);
    SDL_GL_SwapBuffers();
    glFinish();
    const std::int64_t presented = bench::nowNs();
    if (t0 >= 0) {
        std::printf("startup_ms %.3f\n", static_cast<double>(presented - t0) / 1e6);
    }
    std::printf("startup_rss_kib %ld\n", bench::peakRssKib());
    std::printf("pictures %zu\n", pictures.size());
    SDL_Quit();
    return 0;
}
