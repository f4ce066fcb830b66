#pragma once
// The application record: one per process, the owner of everything the game uses.
//
// Construction loads and opens nothing; init() brings the media up, run() is the main
// loop, shutdown() releases everything. The gameplay operations advance and draw one
// frame of a game in progress.

#include "game/Cloud.h"
#include "game/HighScoreTable.h"
#include "game/ScrollObject.h"
#include "game/Settings.h"
#include "game/Tape.h"

#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>

class MoxBitmapFont;
class SpriteManager;
class SoundManager;

enum Screen : std::int32_t {
    Menu = 0,
    InfoPage = 1,
    Playing = 2,
    NameEntry = 3,
    HighScores = 4,
};

class Game {
public:
    // `instance` stands for the process instance; nothing reads it.
    explicit Game(void* instance = nullptr);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Start-up: window (as `settings` and `startFullscreen` say), GL, audio (muted when chosen),
    // sprites (showing the loading picture), sounds, the five music tracks, the font and the high
    // scores. Returns 1 when complete, 0 when it stopped (a music track that does not open, or no
    // window).
    int init(int width, int height);
    // Player and score to their start values, high scores reloaded, play state cleared.
    void resetGame();
    // The same without the menu and the table: player and score, play state cleared.
    void resetPlay();
    // Zeroes playerName and deletes every cloud and scrolling object.
    void clearPlayState();
    // Releases the font, sprites, sounds and music; safe to call more than once.
    void shutdown();
    // The main loop (runMainLoop); returns when the player quits. Where the program cannot
    // end itself (programCanEnd), a quit shows the menu again instead, dropping a game or name
    // entry in progress. Does nothing unless initialised.
    void run();

    // What one call of run() keeps between frames.
    struct LoopState {
        bool quit = false;
        float frameTime = 0;             // seconds, measured at the end of the last frame
        std::uint32_t lastMusicCheck = 0; // ticks() of the last music check
        char text[64] = {};              // the score and health lines
        // A game in progress stands still: drawn, never updated. Only set while Playing.
        bool paused = false;
        // The refused-toggle line has been printed: it is printed once.
        bool fullscreenWarned = false;
        // ticks() of the last input or screen change on the menu: 20 s on, the demo plays.
        std::uint32_t idleSince = 0;
        bool demoWarned = false; // a demo that could not start is reported once
        bool stillPictureShown = false; // the paused game's picture is on screen
    };
    // One pass of the main loop: clear, take every pending event, draw the screen, present,
    // sleep out the rest of a 4 ms frame, check the music, measure the frame time. An idle
    // frame (a paused game; another screen or a watched run while the window is iconified or
    // unfocused) lasts 100 ms instead, cut short by any event but a mouse motion. A frame
    // that took longer than half a second (a stopped process, a suspended laptop) is a
    // stall: it pauses a game in progress, and its time never reaches an update.
    //
    // Every game is recorded (tape) from its first play frame to game over. After 20 s on
    // the menu without a key, click or button the demo plays (startDemo; when none can, one
    // "WARN) No demo to show: <why>" line on standard error, once). While a recorded game
    // is watched, any key, click or button ends it (Escape does not quit then).
    //
    // Besides the screens' keys: F11 or Alt+Enter toggles fullscreen on any screen (and is
    // nothing else; a refusal prints "WARN) Could not switch to fullscreen: not supported
    // here" on standard error, once). While Playing: P toggles the pause; losing the input
    // focus or being iconified pauses; a fresh press of the fly button (space, left mouse
    // button, any joystick button) resumes. A paused frame draws the frozen scene, the
    // status lines and " Paused", and its frame time never reaches the update; once that
    // picture is shown, paused frames draw nothing until an event (other than a mouse
    // motion) comes, which may change or uncover it. Taps go to
    // handleTap; typed text is asked for while the name is entered (requestTextEntry).
    //
    // M mutes and unmutes on every screen but NameEntry, where it is a letter (and ends no
    // run being watched); while muted, a game shows "Muted" on the right of the health line.
    // A resized window takes the frame's last size. Each choice (fullscreen, the window's
    // size, the mute) is saved in `settings`.
    void runFrame(LoopState& loop);
    // runFrame's update, drawing and presenting of the screen.
    void showFrame(LoopState& loop);
    // The key rules of the screen state machine for one key-down (an SDL key symbol).
    void handleKey(int key, bool& quit);
    // A tap on a touch screen at (x, y), window pixels: on the menu a tap on a sign is Enter
    // on its item; on the information page and the high-score list any tap is Enter.
    void handleTap(int x, int y, bool& quit);
    // Every 5000 ms: restarts the music when the current track has stopped (the same track
    // on the menu and in a paused game, a random one of tracks 1 to 4 elsewhere).
    void checkMusic(LoopState& loop);
    // Whether the finished game's score earns a place in the table.
    bool scoreQualifies() const;
    // Saves the table; when that worked, keeps the finished game's recording if `inserted`
    // (keepRun) and deletes the runs of entries that left the table (dropRunsOutside).
    void saveScores(bool inserted);

    // One frame of a game in progress: advances everything by dt seconds and draws the
    // play scene (background, clouds, objects, ground, player).
    void updatePlaying(float dt);
    // The same without drawing: what a replay checked without a window does.
    void advancePlaying(float dt);
    // Plays an effect; without a sound manager (a replay checked without a window) nothing.
    void playSound(int id);
    // Steps 10 to 12 of a play frame: clouds, spawning and the scrolling objects. They
    // move, spawn, collide and remove; drawPlayScene() draws what they leave.
    void updateClouds(float dt);
    void spawnObjects(float dt);
    void updateObjects(float dt, float scrollStep);
    // Draws the play scene as it stands, in the play frame's order; changes nothing.
    void drawPlayScene();

    // The two result screens; dt is unused. The list marks the chosen row (highScoreRow).
    void drawNameEntry(float dt);
    void drawHighScores(float dt);

    // A recorded game shown instead of played. The screen is Playing meanwhile; it shows
    // the recorded frames at their recorded pace (a pause at most a second), holds the last
    // one a second and returns to `returnTo`, or ends the program after --replay.
    struct Watching {
        bool active = false;
        bool demo = false;      // the title screen's: a "Demo" mark, the menu's music
        bool quitAfter = false; // --replay
        bool showsPause = false;
        Screen returnTo = Menu;
        std::string source; // the file, for messages
        float clock = 0;    // seconds of real time not yet replayed
        std::uint32_t lastTick = 0;
    };
    void startWatching(Recording recording, const std::string& source, Screen returnTo, bool demo);
    void stopWatching(LoopState& loop);
    // Before drawing a watched frame: replays the frames due, ends the watching when done
    // or astray (then "WARN) <source> replays differently: <why>" on standard error).
    void advanceWatching(LoopState& loop);
    // Applies the next recorded frame without drawing; false after the last one or once the
    // replay has gone astray (tape.problem()).
    bool replayNextFrame();
    // Shows the best kept run among the ten best that replays to its score, else the
    // shipped "./media/demo.replay". False when neither can be shown (the reason in
    // `problem`).
    bool startDemo(std::string& problem);
    // Enter on the list: plays the chosen row's kept run. False when no row is chosen or it
    // has none, and when it cannot be replayed ("WARN) Cannot replay <file>: <why>").
    bool watchChosenRow();

    std::int32_t screenWidth;
    std::int32_t screenHeight;
    std::uint32_t musicTracks[5];
    float playerHeight;   // offset from the ground line in pixels, negative above it
    float playerVelocity; // pixels per second, negative upwards
    std::int32_t playerPose;
    std::int32_t health;
    Screen screen;
    std::int32_t menuSelection;
    void* instance;
    std::unique_ptr<MoxBitmapFont> font;
    std::unique_ptr<SpriteManager> sprites;
    std::unique_ptr<SoundManager> sounds;
    std::int32_t initialised;
    float groundScroll;
    std::list<std::unique_ptr<Cloud>> clouds;
    std::list<std::unique_ptr<ScrollObject>> objects;
    HighScoreTable highScores;
    // The player's choices, saved whenever one changes.
    Settings settings;
    // How this run starts, whatever `settings` remembers (--fullscreen, --window); empty: as
    // remembered.
    std::optional<bool> startFullscreen;
    char playerName[32];
    std::int32_t currentTrack;
    float score;
    Tape tape;
    Watching watching;
    std::int32_t highScoreRow = -1; // the list's chosen row, -1 for none
};
