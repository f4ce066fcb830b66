// The settings file: what each kind of file gives, what a save writes, a save that cannot.
#include "game/Settings.h"

#include "support/CapturedOutput.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <regex>

namespace {

// File ("none": no file, nor its folder; "/": a folder there; "in a file": a file where its
// folder should be), the choices read, the warnings ("@": the path) of reading it and of two
// saves of a choice changed.
TEST(Settings, TakesWhatItUnderstandsWarnsOnceAboutTheRestAndSavesAChangedChoice) {
    const std::string unreadable = "WARN) Could not read settings from @: ";
    const std::string cases[][3] = {
        {"none", "no 0x0 no", ""},
        {" fullscreen=yes \r\nwindow = 0x600\nwindow = 16385x1\nwindow = 8x\nwindow = 16384x9\n"
         "zoom = 2\nmuted\n",
         "yes 16384x9 no", "WARN) Some lines of @ were not understood and are ignored\n"},
        {"muted = yes\n" + std::string(70000, '#'), "no 0x0 no", unreadable + "File too large\n"},
        {"/", "no 0x0 no",
         unreadable + "Is a directory\nWARN) Could not save settings to @: Is a directory\n"},
        {"in a file", "no 0x0 no",
         unreadable + "Not a directory\nWARN) Could not save settings to @: Not a directory\n"}};
    for (const auto& [contents, choices, warnings] : cases) {
        TempDir dir;
        const std::string file = contents == "/"           ? dir.path()
                                 : contents == "none"      ? dir.file("new/settings")
                                 : contents == "in a file" ? dir.write("file", "") + "/settings"
                                                           : dir.write("settings", contents);
        Settings settings(file);
        CapturedOutput output;
        settings.load();
        const auto yesNo = [](bool choice) { return choice ? "yes " : "no "; };
        EXPECT_EQ(yesNo(settings.fullscreen) + std::to_string(settings.windowWidth) + "x" +
                      std::to_string(settings.windowHeight) + " " + yesNo(settings.muted),
                  choices + " ");
        const bool written = contents.find('=') != std::string::npos; // not a marker
        EXPECT_TRUE(!written || readFile(file) == contents) << "left as it was";
        settings.muted = true;
        settings.save();
        settings.save();
        EXPECT_EQ(output.err(), std::regex_replace(warnings, std::regex("@"), file));
        EXPECT_EQ(contents != "/" && readFile(file).find("muted = yes\n") != std::string::npos,
                  warnings.find("save") == std::string::npos);
    }
}

} // namespace
