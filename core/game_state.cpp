#include "core/game_state.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int fallDelayForSpeed(unsigned speed) { return static_cast<int>(100 - clampSpeed(speed)) * 10; }

}  // namespace

bool gameRunning = false;
bool gamePaused = false;
bool gameEnded = false;
double score = 0.0;
char scoreText[100] = "0.0";
int fallDelayMs = fallDelayForSpeed(kDefaultSpeed);
int fallElapsedMs = 0;

void resetFallTimer() { fallElapsedMs = 0; }

bool advanceFallTimer(int tickMs)
{
    fallElapsedMs += tickMs;
    if (fallElapsedMs < fallDelayMs)
        return false;
    fallElapsedMs -= fallDelayMs;
    return true;
}

void setSpeed(unsigned speed)
{
    fallDelayMs = fallDelayForSpeed(speed);
    resetFallTimer();
}

void resetScore()
{
    score = 0.0;
    std::strcpy(scoreText, "0.0");
}

void addPoints(double points)
{
    score += points;
    std::snprintf(scoreText, sizeof scoreText, "%.1f", score);
}

void resetGameState()
{
    gameRunning = false;
    gamePaused = false;
    gameEnded = false;
    resetScore();
    setSpeed(kDefaultSpeed);
}
