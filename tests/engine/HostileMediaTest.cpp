// Hostile media made on the spot: WAV, picture and font files the engine must refuse.
#include "engine/MoxBitmapFont.h"
#include "engine/Platform.h"
#include "engine/SoundManager.h"
#include "engine/SpriteManager.h"

#include "support/AudioTools.h"
#include "support/CapturedOutput.h"
#include "support/GlWindow.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// `value` in `count` bytes, least significant first.
std::string bytes(std::uint32_t value, int count) {
    std::string out;
    audiotest::put(out, value, count);
    return out;
}

std::string bmp(int width, int height) {
    const int size = (width * 3 + 3) / 4 * 4 * height;
    return "BM" + bytes(54 + size, 4) + bytes(0, 4) + bytes(54, 4) + bytes(40, 4) +
           bytes(width, 4) + bytes(height, 4) + bytes(1, 2) + bytes(24, 2) + std::string(24, '\0') +
           std::string(size, '\x80');
}

TEST(HostileMedia, WavFormatsTheConverterCannotTakeAreMissing) {
    ASSERT_EQ(initAudio(22050, 2), 0) << SDL_GetError();
    const struct {
        int tag, channels, rate, block, bits;
        bool loads;
    } formats[] = {{1, 2, 192000, 4, 16, 1}, {1, 1, 4000, 1, 8, 1},     {1, 0, 22050, 0, 16, 0},
                   {1, 2, 0, 4, 16, 0},      {1, 2, 1, 4, 16, 0},       {1, 1, 3999, 1, 8, 0},
                   {1, 2, 192001, 4, 16, 0}, {1, 2, 22050, 2, 16, 0},   {1, 3, 22050, 6, 16, 0},
                   {1, 1, 22050, 3, 24, 0},  {0x11, 0, 22050, 0, 4, 0}, {2, 1, 22050, 0, 4, 0}};
    for (const auto& [tag, channels, rate, block, bits, loads] : formats) {
        TempDir dir;
        dir.write("0.wav", "RIFF" + bytes(136, 4) + "WAVEfmt " + bytes(16, 4) + bytes(tag, 2) +
                               bytes(channels, 2) + bytes(rate, 4) + bytes(rate * block, 4) +
                               bytes(block, 2) + bytes(bits, 2) + "data" + bytes(100, 4) +
                               std::string(100, '\x40'));
        CapturedOutput output;
        SoundManager sounds(dir.path().c_str());
        EXPECT_EQ(output.err(), dir.file(loads ? "1.wav" : "0.wav") + " is missing\n") << rate;
    }
}

TEST(HostileMedia, PicturesOver8192PixelsOnASideAreMissing) {
    glwindow::open();
    for (const auto& [file, loads] : {std::pair(bmp(8192, 1), 1), std::pair(bmp(8193, 1), 0)}) {
        TempDir dir;
        dir.write("0.png", file);
        CapturedOutput output;
        SpriteManager sprites(dir.path().c_str());
        EXPECT_EQ(output.err(),
                  "Sorry, sprite " + dir.file(loads ? "1" : "0") + ".png is missing\n");
    }
}

// Values of 2147483647 move the pen off the screen for good; wrapping would bring A back at 98.
TEST(HostileMedia, FontDefinitionsOfHugeValuesOrNoFileDoNoHarm) {
    glwindow::open();
    TempDir dir;
    std::string definition = "info\ncommon lineHeight=M base=1 scaleW=1 scaleH=1 pages=1\n"
                             "char id=65 x=0 y=0 width=8 height=8 xoffset=0 yoffset=0 xadvance=M\n"
                             "char id=66 x=M y=1 width=M height=M xoffset=M yoffset=M xadvance=1\n";
    for (std::size_t at; (at = definition.find('M')) != std::string::npos;) {
        definition.replace(at, 1, "2147483647");
    }
    CapturedOutput output;
    MoxBitmapFont font(dir.write("page.bmp", bmp(256, 256)).c_str(),
                       dir.write("font.fnt", definition).c_str());
    font.print("AAA\\BA", 100, 100);
    font.printRight("BAB\\A", 400, 300);
    EXPECT_GT(glwindow::pixel(103, 104).r, 0x40) << "the first A";
    EXPECT_EQ(glwindow::pixel(98, 104).r, 0);
    mkdir(dir.file("dir.fnt").c_str(), 0755);
    EXPECT_FALSE(MoxBitmapFont(dir.file("page.bmp").c_str(), dir.file("dir.fnt").c_str()).ready);
}

} // namespace
