#pragma once
// The player's choices kept between runs: fullscreen or not, the window's size, the mute.
//
// The file is plain text, one "key = value" line each, blanks around either side allowed:
//   fullscreen = yes          (or no)
//   window = 1600x1200        (width x height in pixels, 1 to 16384 each)
//   muted = no                (or yes)
// An unknown key, a bad value or any other line is ignored; so is a whole file over 64 KiB.

#include <string>

class Settings {
  public:
    explicit Settings(std::string path = "");

    // Takes every choice the file holds; the others keep their values. A missing file holds
    // none. A file that cannot be read (or is too large, or no regular file) prints
    // "WARN) Could not read settings from <path>: <reason>", one with lines that are ignored
    // "WARN) Some lines of <path> were not understood and are ignored", on standard error. The
    // file itself is left as it is. With an empty path it does nothing.
    void load();

    // Writes every choice in place of the file (see replaceFile: links are followed,
    // permissions kept, and the file holds the old choices or the new whatever happens),
    // making a missing folder first. The first save that fails prints "WARN) Could not save
    // settings to <path>: <reason>" on standard error; the choices then last for this run
    // only. With an empty path it does nothing.
    void save();

    static constexpr int LargestSide = 16384;

    bool fullscreen = false;
    int windowWidth = 0; // 0 x 0: none chosen
    int windowHeight = 0;
    bool muted = false;

  private:
    std::string path_;
    bool saveFailed_ = false;
};
