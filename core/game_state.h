// The application-wide values that the rules share with the window shell, and
// their writers. (What the rules ask of the shell goes through
// core/shell_port.h.)
//
// The values live from start-up to the end of the process and are touched
// only on the message loop's thread. Anyone may read them; they are written
// only where the table below says (tests aside, which set them to build a case).
#pragma once

// Every writer of every value:
//   value          written by                   when
//   gameRunning    newGame                      set, last of all, when a game starts
//                  runGameOverFlow              cleared when a game ends
//                  confirmEndOfGame             held false while the question before
//                                               ending a game is open
//   gamePaused     pauseGame, unpauseGame       the Pause and Unpause commands
//                  onKeyDown                    the Pause key: set while a game runs
//                                               unpaused, cleared otherwise
//                  mainWindowProc               the focus: saved and set when it
//                                               leaves, restored when it comes back
//                  clearResults,                held true while their box is open
//                  toggleExtendedTileset
//                  newGame                      cleared when a game starts
//   gameEnded      FallingPiece::endGame        set when a piece has no room or lands
//                                               off the board
//                  shutdownApplication          set, so no tick moves anything
//                  newGame                      cleared when a game starts
//   score,         addPoints                    a settle's points
//   scoreText      resetScore                   New game
//   fallDelayMs    setSpeed                     the Speed dialog
//   fallElapsedMs  advanceFallTimer             each gravity tick (onTimer)
//                  resetFallTimer               a new piece, a new speed, gravity
//                                               stopped (onTimer)
// resetGameState puts them all back for start-up: the flags itself, the rest
// through their writers. The holds go through a HoldFlag, which gives the flag
// back its old value when the box closes. Where the writers live: newGame,
// pauseGame, unpauseGame, confirmEndOfGame, clearResults and
// toggleExtendedTileset in app/commands.cpp; onKeyDown and mainWindowProc in
// app/main_window.cpp; runGameOverFlow in app/game_over.cpp;
// shutdownApplication in app/startup.cpp; FallingPiece::endGame in
// core/falling_piece.cpp; the rest here.
extern bool gameRunning;      // a game is in progress
extern bool gamePaused;       // play keys and gravity do nothing
extern bool gameEnded;        // gravity stops until the next new game
extern double score;          // the current score
extern char scoreText[100];   // the score as the status strip shows it
extern int fallDelayMs;       // milliseconds between gravity steps
extern int fallElapsedMs;     // milliseconds gathered toward the next step

// The next gravity step comes a full fall delay from now.
void resetFallTimer();
// Adds `tickMs` to the time gathered toward the next gravity step. True when
// the step is due: the fall delay is then taken off and the remainder carries
// over, so a delay that is not a whole number of ticks still averages out.
bool advanceFallTimer(int tickMs);

// The speed the player chooses, 1 (slowest) to 99, and the fall delay it
// means: (100 - speed) x 10 ms, so 92 is 80 ms and 1 is 990 ms.
constexpr unsigned kDefaultSpeed = 92;
constexpr unsigned clampSpeed(unsigned speed)  // 0 counts as 1, 100 or more as 99
{
    return speed == 0 ? 1 : speed >= 100 ? 99 : speed;
}
constexpr unsigned speedForFallDelay(int delayMs) { return static_cast<unsigned>((1000 - delayMs) / 10); }
// Sets the fall delay for `speed` (clamped as above); the next step then
// comes a full new delay later.
void setSpeed(unsigned speed);

// Score 0.0, shown as "0.0".
void resetScore();
// Adds a settle's points and shows the new score with one decimal.
void addPoints(double points);

// Puts every value above back to its start-up state.
void resetGameState();
