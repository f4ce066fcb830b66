// One frame of play: the jump, the ground, the clouds and the scrolling objects.
#include "TestGame.h"

#include <tuple>

namespace {

constexpr int Column = 800 / 6;

class Play : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        game.screen = Playing;
    }
};

// One update from a height and velocity, the key held or not: where the player ends up.
// The pose follows the height at the start of the update; gravity pulls by (2 - h / 600) x 60
// a second, the held key lifts by 200 a second; the ceiling clamps the height, not the speed.
TEST_F(Play, ThePlayerJumpsRisesFallsAndLands) {
    const struct {
        float height, velocity;
        bool held;
        float dt, endHeight;
        double endVelocity;
        int pose;
        std::vector<int> sounds;
    } cases[] = {
        {0, 0, true, 0, 0, 0, 0, {0}}, // a jump in a frame of no time is undone at once
        {0, 0, true, 0.1f, -9.5f, -95 + (2 + 9.5 / 600) * 6, 0, {0}},
        {-9.5f, -50, true, 0.1f, -9.5f - 7, -70 + (2 + 16.5 / 600) * 6, 1, {}},
        {-300, 0, false, 0.001f, -300, (2 + 0.5) * 0.06, 1, {}},
        {-300.5f, 0, false, 0.001f, -300.5f, (2 + 300.5 / 600) * 0.06, 2, {}},
        {-1, 500, false, 0.1f, 0, 0, 0, {}}, // a landing that overshoots ends on the ground
        {-470, -500, true, 0.1f, -472, -520 + (2 + 472.0 / 600) * 6, 2, {}},
    };
    for (const auto& c : cases) {
        game.playerHeight = c.height;
        game.playerVelocity = c.velocity;
        spaceHeld = c.held;
        EXPECT_EQ(soundsOf([&] { game.updatePlaying(c.dt); }), c.sounds) << c.height;
        EXPECT_FLOAT_EQ(game.playerHeight, c.endHeight) << c.height;
        EXPECT_NEAR(game.playerVelocity, c.endVelocity, 1e-3) << c.height;
        EXPECT_EQ(game.playerPose, c.pose) << c.height;
    }
}

TEST_F(Play, TheGroundScrollsInWholePixelsOnlyWhileThePlayerIsUp) {
    addObject(500, Points100);
    for (int i = 0; i < 50; ++i) {
        game.updatePlaying(0.5f);
    }
    EXPECT_EQ(game.groundScroll, 0.0f) << "no scrolling on the ground";
    EXPECT_EQ(game.objects.front()->x, 500.0f);
    spaceHeld = true;
    for (int i = 0; i < 400; ++i) {
        game.updatePlaying(i % 7 == 0 ? 0.9f : 0.013f);
        ASSERT_GE(game.groundScroll, -127.0f);
        ASSERT_LE(game.groundScroll, 0.0f);
        ASSERT_EQ(game.groundScroll, static_cast<float>(static_cast<int>(game.groundScroll)));
    }
    spaceHeld = false; // less than a pixel a frame: the fraction is dropped every time
    game.playerHeight = -100.0f;
    game.playerVelocity = -1000.0f;
    game.groundScroll = -5.0f;
    game.updatePlaying(0.002f);
    EXPECT_EQ(game.groundScroll, -5.0f);
}

TEST_F(Play, CloudsAreDrawnKindThenSpeedThenHeightAndNeverMoreThanEight) {
    std::srand(7);
    const int kind = std::rand() % 4, speed = -(std::rand() % 100), y = std::rand() % 50;
    std::srand(7);
    game.updateClouds(0.0f);
    ASSERT_EQ(game.clouds.size(), 1u);
    const Cloud& first = *game.clouds.front();
    EXPECT_EQ(std::tuple(first.kind, first.speed, first.y, first.x),
              std::tuple(kind, float(speed), float(y), 928.0f));

    game.clouds.clear(); // a still cloud keeps its place while the others leave and are replaced
    game.clouds.push_back(std::make_unique<Cloud>(928.0f, 10.0f, 0.0f, 2));
    const Cloud* still = game.clouds.front().get();
    float leftmost = 928; // the others drift left until wholly past the edge, then go
    for (int i = 0; i < 2000; ++i) {
        game.updateClouds(0.5f);
        ASSERT_LE(game.clouds.size(), 8u);
        for (const auto& cloud : game.clouds) {
            ASSERT_GE(cloud->x, -128.0f - 0.5f * 99);
            leftmost = std::min(leftmost, cloud->x);
        }
    }
    EXPECT_EQ(game.clouds.size(), 8u);
    EXPECT_EQ(game.clouds.front().get(), still);
    EXPECT_EQ(still->x, 928.0f);
    EXPECT_LT(leftmost, -128.0f);
}

TEST_F(Play, SpawnsComeAtTheirMeanRatesAtAnyFrameRateButNotWithoutTime) {
    std::srand(5);
    const int first = std::rand();
    for (float dt : {0.0f, -0.5f, 1.0001f, 5.0f}) {
        std::srand(5);
        game.spawnObjects(dt);
        EXPECT_TRUE(game.objects.empty()) << dt;
        EXPECT_EQ(std::rand(), first) << "no draws for dt outside (0, 1]: " << dt;
    }
    const double means[] = {2.0, 4.0, 8.0, 6.0, 6.5, -1, 5.0}; // seconds, by kind
    for (float dt : {1.0f / 60, 1.0f / 25, 1.0f}) {
        std::srand(11);
        int counts[7] = {};
        const double seconds = dt == 1.0f ? 1e6 : 40000;
        for (long frame = 0; frame < static_cast<long>(seconds / dt); ++frame) {
            game.spawnObjects(dt);
            for (const auto& object : game.objects) {
                ++counts[object->kind];
                EXPECT_EQ(object->x, 864.0f);
            }
            game.objects.clear();
        }
        for (int kind = 0; kind < 7; ++kind) {
            // trunc(factor / dt) frames per spawn on average; a spent jumper never spawns.
            const double expected =
                means[kind] < 0 ? 0 : seconds / dt / static_cast<int>(means[kind] / dt);
            EXPECT_NEAR(counts[kind], expected, expected * 0.04)
                << "kind " << kind << " at dt " << dt;
        }
    }
}

TEST_F(Play, ContactReachesExactly54PixelsAndOnlyBelow64Up) {
    addObject(Column - 54, Points100);
    addObject(Column + 54, Points500);
    addObject(Column + 54.01f, Points1000);
    addObject(Column - 54.01f, Points1000);
    EXPECT_EQ(soundsOf([&] { game.updateObjects(0.01f, 0); }), (std::vector<int>{2, 2}));
    EXPECT_EQ(game.score, 600.0f);
    EXPECT_EQ(game.objects.size(), 2u);

    game.objects.clear();
    addObject(Column, HealthBonus);
    game.playerHeight = -64.0f;
    game.updateObjects(0.01f, 0);
    EXPECT_EQ(game.objects.size(), 1u) << "at exactly 64 up nothing is touched";
    game.playerHeight = -63.5f;
    EXPECT_EQ(soundsOf([&] { game.updateObjects(0.01f, 0); }), std::vector<int>{4});
    EXPECT_TRUE(game.objects.empty());
    EXPECT_EQ(game.health, 125) << "health rises above 100";
    addObject(Column, Points1000);
    game.updateObjects(0.01f, 0);
    EXPECT_EQ(game.score, 1600.0f);
}

TEST_F(Play, ARestingJumperTwitchesOutsideItsWindowAndLeapsInsideIt) {
    ScrollObject& jumper = addObject(Column + 65, Jumper);
    game.updateObjects(0.01f, 0);
    EXPECT_FLOAT_EQ(jumper.verticalVelocity, -10.0f);
    EXPECT_EQ(jumper.height, 0.0f);
    game.updateObjects(0.01f, 0);
    EXPECT_EQ(jumper.verticalVelocity, 0.0f) << "it sank below 0 and landed";

    jumper.x = Column + 64;
    std::srand(3);
    const int expected = std::rand() % 400 + 500;
    std::srand(3);
    EXPECT_EQ(soundsOf([&] { game.updateObjects(0.01f, 0); }), std::vector<int>{1});
    EXPECT_EQ(jumper.verticalVelocity, expected);
    EXPECT_EQ(jumper.height, 0.0f) << "the leap frame does not fly yet";
    game.updateObjects(0.01f, 0);
    EXPECT_FLOAT_EQ(jumper.height, expected * 0.01f);
}

TEST_F(Play, AJumperHitsOnceForFiftyAndIsSpentForGood) {
    ScrollObject& jumper = addObject(Column + 60, Jumper);
    jumper.height = 100;
    jumper.verticalVelocity = 1;
    game.playerHeight = -160.0f; // 60 above the jumper: within reach
    EXPECT_TRUE(soundsOf([&] { game.updateObjects(0.0f, 0); }).empty()) << "a hit is silent";
    EXPECT_EQ(game.health, 50);
    EXPECT_EQ(jumper.kind, SpentJumper);
    jumper.height = 0;
    jumper.verticalVelocity = 0;
    game.playerHeight = 0;
    game.updateObjects(0.01f, 0);
    EXPECT_EQ(game.health, 50);
    EXPECT_EQ(game.objects.size(), 1u) << "it stays on contact";
    jumper.x = -64.5f;
    game.updateObjects(0.01f, 0);
    EXPECT_TRUE(game.objects.empty()) << "it leaves past the left edge";
}

TEST_F(Play, APenaltyCanMakeTheScoreNegativeAndTheGameEndsOneUpdateLater) {
    game.health = 20;
    addObject(Column, Penalty);
    EXPECT_EQ(soundsOf([&] { game.updatePlaying(0.01f); }), std::vector<int>{3});
    EXPECT_EQ(std::tuple(game.score, game.health, game.screen), std::tuple(-750.0f, 0, Playing));
    spaceHeld = true;
    EXPECT_EQ(soundsOf([&] { game.updatePlaying(0.01f); }), std::vector<int>{0});
    EXPECT_EQ(game.screen, NameEntry) << "the update that finds no health ends the game";
    EXPECT_LT(game.playerHeight, 0.0f) << "and still runs to its end";
}

// Sprites standing on the ground line have their top edge on it, so the ground row, drawn
// after them, covers what stands at height 0; the player is drawn over everything.
TEST_F(Play, TheSceneIsDrawnBackgroundCloudsObjectsGroundPlayer) {
    game.clouds.push_back(std::make_unique<Cloud>(500.0f, 20.0f, 0.0f, 1));
    addObject(300, Points1000);
    ScrollObject& jumper = addObject(Column + 17, Jumper);
    jumper.height = 30;
    jumper.verticalVelocity = 1; // in flight: no leap this frame, and it hits the player
    game.updatePlaying(0.0f);
    ASSERT_EQ(jumper.kind, SpentJumper);
    const std::tuple<int, int, int, const char*> probes[] = {
        {10, 300, 0, "background"},
        {510, 30, 2, "a cloud of kind 1"},
        {310, 471, 0, "nothing above the ground line"},
        {310, 480, 5, "the ground covers the prawn"},
        {0, 599, 5, "ground"},
        {799, 472, 5, "ground"},
        {Column + 20, 442, 14, "the spent jumper, 30 up"},
        {Column + 20, 441, 0, "above it"},
        {Column + 70, 480, 5, "ground over the jumper"},
        {Column + 5, 480, 6, "the player over all"},
        {Column + 63, 535, 6, "the player's corner"},
        {Column + 5, 536, 5, "below the player"}};
    for (const auto& [x, y, sprite, what] : probes) {
        EXPECT_EQ(glwindow::pixel(x, y), spriteColour(sprite)) << what;
    }
}

// What a player sees in flight: things arrive at the right edge again and again, and move
// left. The ground is made see-through so the objects on it show.
TEST_F(Play, InFlightNewThingsKeepArrivingFromTheRightAndMoveLeft) {
    PngPicture clear(8, 8, 3);
    clear.fill(0, 0, 8, 8, 255, 0, 255);
    ASSERT_TRUE(writePng(dir.file("5.png"), clear));
    {
        CapturedOutput quiet;
        game.sprites = std::make_unique<SpriteManager>(dir.path().c_str());
    }
    game.sprites->setScreenSize(800, 600);
    spaceHeld = true;
    game.playerHeight = -300;
    const std::uint32_t sky = spriteColour(0).r << 16 | spriteColour(0).g << 8 | spriteColour(0).b;
    int arrivals[2] = {}, leftward = 0, rightward = 0, previousEdge = -1;
    for (int frame = 0; frame < 300; ++frame) {
        glwindow::open();
        game.updatePlaying(0.05f);
        const std::vector<std::uint32_t> pixels = glwindow::frame();
        const std::uint32_t* row = &pixels[(600 - 1 - 504) * 800]; // across the objects
        int edge = 0;
        while (edge < 800 && row[edge] == sky) {
            ++edge;
        }
        arrivals[frame / 150] += row[799] != sky && row[780] == sky;
        if (edge < 800 && previousEdge >= 0 && previousEdge < 800) {
            leftward += edge < previousEdge;
            rightward += edge > previousEdge;
        }
        previousEdge = edge;
    }
    EXPECT_GT(arrivals[0], 0);
    EXPECT_GT(arrivals[1], 0) << "objects stopped coming";
    EXPECT_GT(leftward, 3 * rightward) << "the nearest object should move left, frame after frame";
    EXPECT_EQ(glwindow::pixel(Column + 5, 5), spriteColour(8)) << "the hopling up at the ceiling";
}

} // namespace
