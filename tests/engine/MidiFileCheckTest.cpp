#include "engine/MidiFileCheck.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string be32(std::uint32_t v) {
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

std::string header(int format, int tracks, int division = 96) {
    return "MThd" + be32(6) + std::string{0, char(format), char(tracks >> 8), char(tracks), char(division >> 8), char(division)};
}

std::string chunk(const std::string& id, const std::string& body) {
    return id + be32(static_cast<std::uint32_t>(body.size())) + body;
}

const std::string EndOfTrack("\x00\xFF\x2F\x00", 4);
const std::string Note("\x00\x90\x3C\x64\x60\x80\x3C\x40", 8);

bool check(const std::string& file) {
    return isPlayableMidiFile(reinterpret_cast<const unsigned char*>(file.data()), file.size());
}

TEST(MidiFileCheck, AcceptsWhatFilesMayHold) {
    const struct {
        const char* name;
        std::string file;
    } cases[] = {
        {"plain", header(0, 1) + chunk("MTrk", Note + EndOfTrack)},
        {"running status", header(0, 1) + chunk("MTrk", std::string("\x00\x90\x3C\x64\x10\x40\x64", 7) + EndOfTrack)},
        {"sysex and meta", header(0, 1) + chunk("MTrk", std::string("\x00\xF0\x02\x7E\xF7\x00\xFF\x03\x01X", 10) + EndOfTrack)},
        {"no end-of-track event", header(0, 1) + chunk("MTrk", Note)},
        {"foreign chunk first", header(1, 1) + chunk("XFIH", "whatever") + chunk("MTrk", Note + EndOfTrack)},
        {"two tracks", header(1, 2) + chunk("MTrk", EndOfTrack) + chunk("MTrk", Note + EndOfTrack)},
        {"bytes after the tracks", header(0, 1) + chunk("MTrk", Note + EndOfTrack) + "junk"},
        {"longer header", "MThd" + be32(8) + header(0, 1).substr(8) + "xx" + chunk("MTrk", EndOfTrack)},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(check(c.file)) << c.name;
    }
}

TEST(MidiFileCheck, RefusesDamagedFiles) {
    const struct {
        const char* name;
        std::string file;
    } cases[] = {
        {"no tracks", header(0, 0)},
        {"format 3", header(3, 1) + chunk("MTrk", EndOfTrack)},
        {"second track missing", header(1, 2) + chunk("MTrk", EndOfTrack)},
        {"track is not MTrk", header(0, 1) + chunk("MTrx", EndOfTrack)},
        {"header too short", "MThd" + be32(4) + std::string("\0\0\0\1", 4) + chunk("MTrk", EndOfTrack)},
        {"running status first", header(0, 1) + chunk("MTrk", std::string("\x00\x3C\x64", 3) + EndOfTrack)},
        {"note cut short", header(0, 1) + chunk("MTrk", std::string("\x00\x90\x3C", 3))},
        {"meta longer than track", header(0, 1) + chunk("MTrk", std::string("\x00\xFF\x01\x10hi", 6))},
        {"five-byte delta", header(0, 1) + chunk("MTrk", std::string("\x81\x81\x81\x81\x01\x90\x3C\x64", 8))},
        {"real-time message", header(0, 1) + chunk("MTrk", std::string("\x00\xF8", 2) + EndOfTrack)},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(check(c.file)) << c.name;
    }
    EXPECT_FALSE(isPlayableMidiFile(nullptr, 0));
}

} // namespace
