#include "core/game_state.h"

#include <cstring>

bool gameRunning = false;
bool gamePaused = false;
bool gameEnded = false;
double score = 0.0;
char scoreText[100] = "0.0";
int fallDelayMs = fallDelayForSpeed(kDefaultSpeed);
int fallElapsedMs = 0;

void resetFallTimer() { fallElapsedMs = 0; }

void resetScore()
{
    score = 0.0;
    std::strcpy(scoreText, "0.0");
}

void resetGameState()
{
    gameRunning = false;
    gamePaused = false;
    gameEnded = false;
    resetScore();
    fallDelayMs = fallDelayForSpeed(kDefaultSpeed);
    fallElapsedMs = 0;
}
