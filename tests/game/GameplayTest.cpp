// One frame of play: the jump, the ground, the clouds and the scrolling objects.
#include "TestGame.h"

#include <cmath>
#include <tuple>

namespace {

constexpr int Column = 800 / 6;

using Play = GameTest;

// The pose follows the height before the update; gravity pulls by (2 - h / 600) x 60 a
// second, the held key lifts by 200 a second; the ceiling clamps the height, not the speed.
TEST_F(Play, ThePlayerJumpsRisesFallsAndLands) {
    const std::tuple<float, float, bool, float, float, double, int, std::vector<int>> cases[] = {
        {0, 0, true, 0, 0, 0, 0, {0}}, // a jump in a frame of no time is undone at once
        {0, 0, true, 0.1f, -9.5f, -95 + (2 + 9.5 / 600) * 6, 0, {0}},
        {-9.5f, -50, true, 0.1f, -9.5f - 7, -70 + (2 + 16.5 / 600) * 6, 1, {}},
        {-300, 0, false, 0.001f, -300, (2 + 0.5) * 0.06, 1, {}},
        {-300.5f, 0, false, 0.001f, -300.5f, (2 + 300.5 / 600) * 0.06, 2, {}},
        {-1, 500, false, 0.1f, 0, 0, 0, {}}, // a landing that overshoots ends on the ground
        {-470, -500, true, 0.1f, -472, -520 + (2 + 472.0 / 600) * 6, 2, {}},
    };
    for (const auto& [height, velocity, held, dt, endHeight, endVelocity, pose, sounds] : cases) {
        game.playerHeight = height;
        game.playerVelocity = velocity;
        spaceHeld = held;
        EXPECT_EQ(soundsOf([&, dt = dt] { game.updatePlaying(dt); }), sounds) << height;
        EXPECT_FLOAT_EQ(game.playerHeight, endHeight) << height;
        EXPECT_NEAR(game.playerVelocity, endVelocity, 1e-3) << height;
        EXPECT_EQ(game.playerPose, pose) << height;
    }
    game.health = 0; // the update that finds no health ends the game, and still runs on
    game.playerHeight = -100;
    game.playerVelocity = 0;
    game.updatePlaying(0.1f);
    EXPECT_EQ(game.screen, NameEntry);
    EXPECT_NEAR(game.playerVelocity, (2 + 100.0 / 600) * 6, 1e-3);
}

TEST_F(Play, TheGroundScrollsInWholePixelsOnlyWhileThePlayerIsUp) {
    addObject(500, Points100);
    game.updatePlaying(0.5f);
    EXPECT_EQ(std::tuple(game.groundScroll, game.objects.front()->x), std::tuple(0.0f, 500.0f));
    spaceHeld = true;
    for (int i = 0; i < 400; ++i) {
        game.updatePlaying(i % 7 == 0 ? 0.9f : 0.013f);
        ASSERT_TRUE(game.groundScroll >= -127 && game.groundScroll <= 0) << game.groundScroll;
        ASSERT_EQ(game.groundScroll, static_cast<float>(static_cast<int>(game.groundScroll)));
    }
    game.groundScroll = -5.0f; // less than a pixel a frame: the fraction is dropped
    game.playerHeight = -100;
    game.updatePlaying(0.002f);
    EXPECT_EQ(game.groundScroll, -5.0f);
}

// A cloud draws kind, then speed, then height; one with no speed stays where it is.
TEST_F(Play, CloudsComeInEightsAndDriftLeftOffTheScreen) {
    std::srand(7);
    const int kind = std::rand() % 4, speed = -(std::rand() % 100), y = std::rand() % 50;
    std::srand(7);
    game.updateClouds(0.0f);
    const Cloud& first = *game.clouds.front();
    EXPECT_EQ(std::tuple(first.kind, first.speed, first.y, first.x),
              std::tuple(kind, float(speed), float(y), 928.0f));
    game.clouds.clear();
    game.clouds.push_back(std::make_unique<Cloud>(928.0f, 10.0f, 0.0f, 2));
    const Cloud* still = game.clouds.front().get();
    float leftmost = 928;
    for (int i = 0; i < 2000; ++i) {
        game.updateClouds(0.5f);
        ASSERT_LE(game.clouds.size(), 8u);
        for (const auto& cloud : game.clouds) {
            ASSERT_GE(cloud->x, -128.0f - 0.5f * 99);
            leftmost = std::min(leftmost, cloud->x);
        }
    }
    EXPECT_EQ(std::tuple(game.clouds.size(), game.clouds.front().get(), still->x),
              std::tuple(8u, still, 928.0f));
    EXPECT_LT(leftmost, -128.0f);
}

// Each kind comes once in trunc(mean / dt) updates on average, whatever the frame rate, at
// 864; no time, or a stall of over a second, spawns nothing and draws no random number.
TEST_F(Play, SpawnsComeAtTheirMeanRatesButNotWithoutTime) {
    std::srand(5);
    const int first = std::rand();
    for (float dt : {0.0f, -0.5f, 1.0001f}) {
        std::srand(5);
        game.spawnObjects(dt);
        EXPECT_TRUE(game.objects.empty() && std::rand() == first) << dt;
    }
    const double means[] = {2.0, 4.0, 8.0, 6.0, 6.5, 0, 5.0}; // by kind; spent jumpers never
    int counts[7] = {};
    for (long frame = 0; frame < 2400000; ++frame, game.objects.clear()) { // 40000 s at 60 fps
        game.spawnObjects(1.0f / 60);
        for (const auto& object : game.objects) {
            counts[object->kind] += object->x == 864.0f;
        }
    }
    for (int kind = 0; kind < 7; ++kind) {
        const double expected = means[kind] > 0 ? 2400000 / std::trunc(means[kind] * 60) : 0;
        EXPECT_NEAR(counts[kind], expected, expected * 0.04) << kind;
    }
}

// Touching reaches 54 pixels either side of the player's column, and only below 64 up.
TEST_F(Play, WhatThePlayerTouchesGivesItsEffectAndGoes) {
    const std::tuple<ScrollObjectKind, float, float, float, int, std::vector<int>> cases[] = {
        {Points100, Column - 54, 0, 100, 100, {2}},   {Points500, Column + 54, 0, 500, 100, {2}},
        {Points1000, Column, -63.5f, 1000, 100, {2}}, {Penalty, Column, 0, -750, 80, {3}},
        {HealthBonus, Column, 0, 0, 125, {4}},        {Points1000, Column + 54.01f, 0, 0, 100, {}},
        {Points1000, Column - 54.01f, 0, 0, 100, {}}, {HealthBonus, Column, -64, 0, 100, {}},
        {SpentJumper, Column, 0, 0, 100, {}}};
    for (const auto& [kind, x, height, score, health, sounds] : cases) {
        SCOPED_TRACE(std::to_string(kind) + " " + std::to_string(x));
        game.objects.clear();
        game.score = 0;
        game.health = 100;
        game.playerHeight = height;
        addObject(x, kind);
        EXPECT_EQ(soundsOf([&] { game.updateObjects(0.01f, 0); }), sounds);
        EXPECT_EQ(std::tuple(game.score, game.health, game.objects.size()),
                  std::tuple(score, health, sounds.empty() ? 1u : 0u));
    }
}

// A jumper at rest twitches outside its window and leaps inside it, at 500 + rand() % 400.
TEST_F(Play, AJumperLeapsAtThePlayerAndHitsOnce) {
    ScrollObject& jumper = addObject(Column + 65, Jumper);
    game.updateObjects(0.01f, 0);
    EXPECT_FLOAT_EQ(jumper.verticalVelocity, -10.0f);
    game.updateObjects(0.01f, 0);
    EXPECT_EQ(std::tuple(jumper.height, jumper.verticalVelocity), std::tuple(0.0f, 0.0f));
    jumper.x = Column + 64;
    std::srand(3);
    const int leap = std::rand() % 400 + 500;
    std::srand(3);
    EXPECT_EQ(soundsOf([&] { game.updateObjects(0.01f, 0); }), std::vector<int>{1});
    EXPECT_EQ(std::tuple(jumper.verticalVelocity, jumper.height), std::tuple(float(leap), 0.0f));
    game.playerHeight = -60; // within reach as it rises
    EXPECT_TRUE(soundsOf([&] { game.updateObjects(0.01f, 0); }).empty()) << "a hit is silent";
    EXPECT_EQ(std::tuple(jumper.kind, game.health, jumper.height),
              std::tuple(SpentJumper, 50, leap * 0.01f));
    for (int i = 0; i < 200; ++i) {
        game.updateObjects(0.01f, 0);
    }
    EXPECT_EQ(std::tuple(game.health, game.objects.size()), std::tuple(50, 1u));
    jumper.x = -64.5f;
    game.updateObjects(0.01f, 0);
    EXPECT_TRUE(game.objects.empty()) << "it leaves past the left edge";
}

// The ground row, drawn after the objects, covers what stands at height 0.
TEST_F(Play, TheSceneIsDrawnBackgroundCloudsObjectsGroundPlayer) {
    game.clouds.push_back(std::make_unique<Cloud>(500.0f, 20.0f, 0.0f, 1));
    addObject(300, Points1000);
    ScrollObject& jumper = addObject(Column + 17, SpentJumper);
    jumper.height = 30;
    jumper.verticalVelocity = 1;
    game.updatePlaying(0.0f);
    const std::tuple<int, int, int> probes[] = {
        {10, 300, 0},          {510, 30, 2},          {620, 140, 2},        {310, 471, 0},
        {310, 480, 5},         {0, 599, 5},           {799, 472, 5},        {Column + 20, 442, 14},
        {Column + 20, 441, 0}, {Column + 70, 480, 5}, {Column + 5, 480, 6}, {Column + 63, 535, 6},
        {Column + 5, 536, 5}};
    for (const auto& [x, y, sprite] : probes) {
        EXPECT_EQ(glwindow::pixel(x, y), spriteColour(sprite)) << x << "," << y;
    }
}

// The ground is made see-through so that the objects show.
TEST_F(Play, InFlightNewThingsKeepArrivingFromTheRightAndMoveLeft) {
    PngPicture clear(8, 8, 3);
    clear.fill(0, 0, 8, 8, 255, 0, 255);
    ASSERT_TRUE(writePng(dir.file("5.png"), clear));
    CapturedOutput quiet;
    game.sprites = std::make_unique<SpriteManager>(dir.path().c_str());
    game.sprites->setScreenSize(800, 600);
    spaceHeld = true;
    game.playerHeight = -300;
    const std::uint32_t sky = spriteColour(0).r << 16 | spriteColour(0).g << 8 | spriteColour(0).b;
    int arrivals[2] = {}, leftward = 0, rightward = 0, previousEdge = 800;
    for (int frame = 0; frame < 300; ++frame) {
        const auto pixels = drawnFrame([&] { game.updatePlaying(0.05f); });
        const std::uint32_t* row = &pixels[(600 - 1 - 504) * 800]; // across the objects
        const int edge = int(std::find_if(row, row + 800, [&](auto p) { return p != sky; }) - row);
        arrivals[frame / 150] += row[799] != sky && row[780] == sky;
        leftward += edge < previousEdge && edge < 800;
        rightward += edge > previousEdge && previousEdge < 800;
        previousEdge = edge;
    }
    EXPECT_TRUE(arrivals[0] > 0 && arrivals[1] > 0) << "objects stopped coming";
    EXPECT_GT(leftward, 3 * rightward) << "the nearest object should move left, frame after frame";
    EXPECT_EQ(glwindow::pixel(Column + 5, 5), spriteColour(8)) << "the hopling up at the ceiling";
}

} // namespace
