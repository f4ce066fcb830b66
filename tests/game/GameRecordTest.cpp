#include "game/Game.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

TEST(GameRecord, ConstructionLoadsNothingAndClearingEmptiesThePlayState) {
    int instance = 0;
    Game game(&instance);
    EXPECT_EQ(game.instance, &instance);
    EXPECT_EQ(game.screen, Menu);
    EXPECT_EQ(game.health, 100);
    EXPECT_EQ(game.initialised, 0);
    EXPECT_EQ(game.highScores.size(), 0u);
    EXPECT_EQ(game.font, nullptr);
    game.run(); // returns at once: not initialised
    game.shutdown();
    game.shutdown();

    std::memset(game.playerName, 'x', sizeof game.playerName);
    game.clouds.push_back(std::make_unique<Cloud>(1.0f, 2.0f, -3.0f, 1));
    game.objects.push_back(std::make_unique<ScrollObject>(5.0f, Jumper));
    game.clearPlayState();
    EXPECT_TRUE(game.clouds.empty());
    EXPECT_TRUE(game.objects.empty());
    EXPECT_EQ(std::string(game.playerName, sizeof game.playerName), std::string(32, '\0'));
}

} // namespace
