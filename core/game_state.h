// The application-wide values that the rules share with the window shell.
// (What the rules ask of the shell goes through core/shell_port.h.)
#pragma once

// Values that live from start-up to the end of the process.
//
// The three flags, and every place that writes them:
//   flag         set by                            cleared by
//   gameRunning  New game                          the game-over flow; held off
//                                                  while the question before
//                                                  ending a game is open
//   gamePaused   Pause (menu and key); the focus   Unpause, the Pause key again,
//                leaving the main window; held on  New game; the focus coming back
//                while Clear or Extended tileset   (to the value it had)
//                asks
//   gameEnded    the rules, when a piece has no    New game
//                room or lands off the board;
//                shutdown
// resetGameState() clears all three, for start-up.
extern bool gameRunning;      // a game is in progress
extern bool gamePaused;       // play keys and gravity do nothing
extern bool gameEnded;        // gravity stops until the next new game
extern double score;          // the current score
extern char scoreText[100];   // the score as the status strip shows it
extern int fallDelayMs;       // milliseconds between gravity steps
extern int fallElapsedMs;     // milliseconds gathered toward the next step

// The next gravity step comes a full fall delay from now.
void resetFallTimer();

// The speed the player chooses, 1 (slowest) to 99, and the fall delay it
// means: (100 - speed) x 10 ms, so 92 is 80 ms and 1 is 990 ms.
constexpr unsigned kDefaultSpeed = 92;
constexpr unsigned clampSpeed(unsigned speed)  // 0 counts as 1, 100 or more as 99
{
    return speed == 0 ? 1 : speed >= 100 ? 99 : speed;
}
constexpr int fallDelayForSpeed(unsigned speed) { return static_cast<int>(100 - clampSpeed(speed)) * 10; }
constexpr unsigned speedForFallDelay(int delayMs) { return static_cast<unsigned>((1000 - delayMs) / 10); }

// Score 0.0, shown as "0.0": at start-up and at New game.
void resetScore();

// Puts every value above back to its start-up state.
void resetGameState();
