#include "engine/MidiFileCheck.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string be32(std::uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

std::string header(int format, int tracks) {
    return "MThd" + be32(6) + std::string{0, char(format), char(tracks >> 8), char(tracks), 0, 96};
}

std::string track(const std::string& events, const char* id = "MTrk") {
    return id + be32(static_cast<std::uint32_t>(events.size())) + events;
}

TEST(MidiFileCheck, AcceptsWhatFilesMayHoldAndRefusesDamage) {
    auto bytes = [](const char* text, std::size_t n) { return std::string(text, n); };
    const std::string end = bytes("\x00\xFF\x2F\x00", 4),
                      note = bytes("\x00\x90\x3C\x64\x60\x80\x3C\x40", 8);
    // `notes` note-ons `delta` ticks apart (running status, so all alike): too dense is refused.
    auto dense = [&](int notes, char delta) {
        return delta + std::string("\x90\x3c\x40") + std::string(3 * (notes - 1), delta) +
               bytes("\x01\xFF\x2F\x00", 4);
    };
    const std::string one = header(0, 1);
    const struct {
        const char* name;
        std::string file;
        bool playable;
    } cases[] = {
        {"plain", one + track(note + end), true},
        {"running status", one + track(bytes("\x00\x90\x3C\x64\x10\x40\x64", 7) + end), true},
        {"sysex and meta", one + track(bytes("\x00\xF0\x02\x7E\xF7\x00\xFF\x03\x01X", 10) + end),
         true},
        {"no end-of-track event", one + track(note), true},
        {"channel pressure", one + track(bytes("\x00\xD0\x40", 3) + end), true},
        {"foreign chunk first", header(1, 1) + track("whatever", "XFIH") + track(note + end), true},
        {"two tracks", header(1, 2) + track(end) + track(note + end), true},
        {"bytes after the tracks", one + track(note + end) + "junk", true},
        {"longer header", "MThd" + be32(8) + one.substr(8) + "xx" + track(end), true},
        {"no tracks", header(0, 0), false},
        {"header longer than the file", "MThd" + be32(7) + one.substr(8, 6), false},
        {"format 3", header(3, 1) + track(end), false},
        {"second track missing", header(1, 2) + track(end), false},
        {"track is not MTrk", one + track(end, "MTrx"), false},
        {"header too short", "MThd" + be32(4) + bytes("\0\0\0\1", 4) + track(end), false},
        {"SMPTE time base", one.substr(0, 12) + "\xE8\x28" + track(end), false},
        {"zero time base", one.substr(0, 12) + bytes("\0\0", 2) + track(end), false},
        {"running status first", one + track(bytes("\x00\x3C\x64", 3) + end), false},
        {"note cut short", one + track(bytes("\x00\x90\x3C", 3)), false},
        {"program change cut short", one + track(bytes("\x00\xC0", 2)), false},
        {"meta longer than track", one + track(bytes("\x00\xFF\x01\x10hi", 6)), false},
        {"five-byte delta", one + track(bytes("\x81\x81\x81\x81\x01\x90\x3C\x64", 8)), false},
        {"real-time message", one + track(bytes("\x00\xF8", 2) + end), false},
        {"track longer than the file", one + track(note + end).substr(0, 12), false},
        {"10000 notes at once", header(1, 1) + track(dense(10000, 0)), true},
        {"10001 notes at once", header(1, 1) + track(dense(10001, 0)), false},
        {"5001 notes at once twice", header(1, 2) + track(dense(5001, 0)) + track(dense(5001, 0)),
         false},
        {"999999 notes", header(1, 1) + track(dense(999999, 1)), true},
        {"1000000 notes", header(1, 1) + track(dense(1000000, 1)), false},
    };
    for (const auto& c : cases) {
        const auto* data = reinterpret_cast<const unsigned char*>(c.file.data());
        EXPECT_EQ(isPlayableMidiFile(data, c.file.size()), c.playable) << c.name;
    }
    EXPECT_FALSE(isPlayableMidiFile(nullptr, 0));
}

} // namespace
