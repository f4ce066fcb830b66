#include "game/Game.h"

#include "engine/Music.h"
#include "support/CapturedOutput.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST(GameRecord, ConstructionLoadsNothingAndStartsOnTheMenu) {
    int instance = 0;
    Game game(&instance);
    EXPECT_EQ(game.instance, &instance);
    EXPECT_EQ(game.screen, Menu);
    EXPECT_EQ(game.health, 100);
    EXPECT_EQ(game.playerHeight, 0.0f);
    EXPECT_EQ(game.playerVelocity, 0.0f);
    EXPECT_EQ(game.playerPose, 0);
    EXPECT_EQ(game.groundScroll, 0.0f);
    EXPECT_EQ(game.currentTrack, 0);
    EXPECT_EQ(game.initialised, 0);
    EXPECT_TRUE(game.clouds.empty());
    EXPECT_TRUE(game.objects.empty());
    EXPECT_EQ(game.highScores.size(), 0u);
    EXPECT_EQ(game.font, nullptr);
    EXPECT_EQ(game.sprites, nullptr);
    EXPECT_EQ(game.sounds, nullptr);
    EXPECT_EQ(Screen::HighScores, 4);
}

TEST(GameRecord, ClearingThePlayStateZeroesTheWholeNameAndEmptiesBothLists) {
    Game game;
    std::memset(game.playerName, 'x', sizeof game.playerName);
    game.clouds.push_back(std::make_unique<Cloud>(1.0f, 2.0f, -3.0f, 1));
    game.objects.push_back(std::make_unique<ScrollObject>(5.0f, Jumper));
    game.clearPlayState();
    EXPECT_TRUE(game.clouds.empty());
    EXPECT_TRUE(game.objects.empty());
    for (char c : game.playerName) {
        ASSERT_EQ(c, '\0');
    }
}

TEST(GameRecord, RunDoesNothingAndShutdownIsSafeBeforeInit) {
    Game game;
    game.run(); // returns at once: not initialised
    game.shutdown();
    game.shutdown();
    EXPECT_EQ(game.initialised, 0);
    EXPECT_EQ(game.sprites, nullptr);
}

} // namespace
