// One frame of a game in progress: the player's jump, the world scroll, the ground row,
// the clouds and the scrolling objects.

#include "game/Game.h"

#include "engine/SoundManager.h"
#include "engine/SpriteManager.h"
#include "game/Truncate.h"

#include <cmath>

namespace {

constexpr int GroundTileSize = 128;
constexpr int PlayerSize = 64;
constexpr int ObjectSize = 64;

constexpr int JumpSound = 0;
constexpr int LeapSound = 1;
constexpr int PointsSound = 2;
constexpr int PenaltySound = 3;
constexpr int HealthSound = 4;

constexpr int BackgroundSprite = 0;
constexpr int GroundSprite = 5;
constexpr int FirstPlayerSprite = 6;
constexpr int FirstObjectSprite = 9;

constexpr int MaxClouds = 8;
constexpr int LeapWindow = 64;
constexpr int ContactWindow = 54;

bool within(float value, int centre, int halfWidth) {
    return value >= centre - halfWidth && value <= centre + halfWidth;
}

bool isJumper(ScrollObjectKind kind) {
    return kind == Jumper || kind == SpentJumper;
}

struct SpawnRow {
    ScrollObjectKind kind;
    double factor; // mean seconds between spawns
};

constexpr SpawnRow SpawnTable[] = {
    {Points100, 2.0}, {Points500, 4.0}, {Points1000, 8.0},
    {Penalty, 6.0},   {Jumper, 6.5},    {HealthBonus, 5.0},
};

} // namespace

void Game::updatePlaying(float dt) {
    advancePlaying(dt);
    drawPlayScene();
}

void Game::playSound(int id) {
    if (sounds) {
        sounds->play(id);
    }
}

void Game::advancePlaying(float dt) {
    const int H = screenHeight;

    if (health <= 0) {
        screen = NameEntry;
    }

    if (playerHeight == 0 && tape.flyHeld()) {
        playSound(JumpSound);
        playerVelocity = -75.0f;
    }

    if (playerHeight < 0) {
        playerPose = 1;
    }
    if (playerHeight < -(H / 2)) {
        playerPose = 2;
    }

    if (playerVelocity < 0 && tape.flyHeld()) {
        playerVelocity -= 200.0 * dt;
    }

    playerHeight += dt * playerVelocity;

    if (-playerHeight > H - GroundTileSize) {
        playerHeight = GroundTileSize - H;
    }

    if (playerHeight < 0) {
        playerVelocity += ((H - playerHeight) / H + 1.0) * dt * 60.0;
    } else {
        playerHeight = 0;
        playerPose = 0;
        playerVelocity = 0;
    }

    float scrollStep = 0;
    if (playerHeight != 0) {
        scrollStep = ((H - playerHeight) / H + 1.0) * dt * 100.0;
    }

    updateClouds(dt);
    spawnObjects(dt);
    updateObjects(dt, scrollStep);

    // The ground moves in whole pixels; the remainder keeps the sign of the dividend.
    groundScroll = static_cast<float>(
        std::fmod(std::trunc(static_cast<double>(groundScroll) - scrollStep), GroundTileSize));
}

// Drawing reads the state and changes none of it, so drawing everything after the update
// shows what drawing each thing right after its own step did.
void Game::drawPlayScene() {
    const int W = screenWidth;
    const int H = screenHeight;
    const int groundLine = H - GroundTileSize;

    sprites->draw(BackgroundSprite, 0, 0, 800, 600);
    for (const auto& cloud : clouds) {
        cloud->render(*sprites);
    }
    for (const auto& object : objects) {
        sprites->draw(object->kind + FirstObjectSprite, truncateToInt(object->x),
                      truncateToInt(groundLine - object->height), ObjectSize, ObjectSize);
    }
    for (int x = truncateToInt(groundScroll - GroundTileSize); x < W + GroundTileSize;
         x += GroundTileSize) {
        sprites->draw(GroundSprite, x, H - GroundTileSize, GroundTileSize, GroundTileSize);
    }

    sprites->draw(playerPose + FirstPlayerSprite, W / 6, truncateToInt(H + playerHeight - GroundTileSize),
                  PlayerSize, PlayerSize);
}

void Game::updateClouds(float dt) {
    if (clouds.size() < MaxClouds) {
        // Three draws, in this order: the sequence of draws is part of the game.
        const int kind = tape.randomBelow(4);
        const float speed = -static_cast<float>(tape.randomBelow(100));
        const float y = static_cast<float>(tape.randomBelow(50));
        clouds.push_back(std::make_unique<Cloud>(screenWidth + 128.0f, y, speed, kind));
    }

    for (auto it = clouds.begin(); it != clouds.end();) {
        Cloud& cloud = **it;
        if (cloud.hasLeftScreen()) {
            it = clouds.erase(it);
            continue;
        }
        cloud.move(dt);
        ++it;
    }
}

void Game::spawnObjects(float dt) {
    if (!(dt > 0 && dt <= 1.0f)) {
        return;
    }
    const float inv = 1.0f / dt;
    for (const SpawnRow& row : SpawnTable) {
        // The chance per update is about dt / factor, so the rate does not depend on the
        // frame rate. Tiny frame times could push N past int range: clamp it.
        const int n = truncateToInt(std::trunc(row.factor * inv));
        if (tape.randomBelow(n) == 0) {
            objects.push_back(std::make_unique<ScrollObject>(screenWidth + 64.0f, row.kind));
        }
    }
}

void Game::updateObjects(float dt, float scrollStep) {
    const int column = screenWidth / 6;

    for (auto it = objects.begin(); it != objects.end();) {
        ScrollObject& object = **it;

        if (object.x < -ObjectSize) {
            it = objects.erase(it);
            continue;
        }

        object.x -= scrollStep;

        const bool leaps = object.kind == Jumper && object.verticalVelocity == 0 &&
                           within(object.x, column, LeapWindow);
        if (leaps) {
            playSound(LeapSound);
            object.verticalVelocity = tape.randomBelow(400) + 500.0f;
        } else if (isJumper(object.kind)) {
            object.height += dt * object.verticalVelocity;
            object.verticalVelocity -= 1000.0 * dt;
            const float altitude = -playerHeight;
            if (object.kind == Jumper && object.height >= altitude - LeapWindow &&
                object.height <= altitude + LeapWindow && within(object.x, column, LeapWindow)) {
                health -= 50;
                object.kind = SpentJumper;
            }
        }

        if (isJumper(object.kind) && object.height < 0) {
            object.height = 0;
            object.verticalVelocity = 0;
        }

        if (playerHeight > -64 && within(object.x, column, ContactWindow)) {
            switch (object.kind) {
            case Points100:
                score += 100;
                playSound(PointsSound);
                break;
            case Points500:
                score += 500;
                playSound(PointsSound);
                break;
            case Points1000:
                score += 1000;
                playSound(PointsSound);
                break;
            case Penalty:
                score -= 750;
                health -= 20;
                playSound(PenaltySound);
                break;
            case HealthBonus:
                health += 25;
                playSound(HealthSound);
                break;
            case Jumper:
            case SpentJumper:
                break;
            }
            if (!isJumper(object.kind)) {
                it = objects.erase(it);
                continue;
            }
        }

        ++it;
    }
}
