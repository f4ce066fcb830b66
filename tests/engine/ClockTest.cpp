#include "engine/Clock.h"

#include <gtest/gtest.h>

namespace {

std::uint32_t fakeNow = 0;

TEST(Clock, FrameTimeIsSecondsBetweenCallsAcrossTheCounterWrap) {
    setTickSource([] { return fakeNow; });
    fakeNow = 1000;
    frameTime();
    fakeNow = 1016;
    EXPECT_FLOAT_EQ(frameTime(), 0.016f);
    fakeNow = 0xFFFFFFF8u;
    frameTime();
    fakeNow = 8; // wrapped past zero: 16 ms later
    EXPECT_FLOAT_EQ(frameTime(), 0.016f);
    EXPECT_EQ(ticks(), 8u);
    setTickSource(nullptr);
}

} // namespace
