// Records what the rules ask of the shell, in order: "repaint", "redraw",
// "strip" and "gameover" (noting the score then, and stopping the game).
#pragma once

#include <string>
#include <vector>

#include "core/game_state.h"

struct ShellRecorder {
    static inline std::vector<std::string> events;
    static inline double scoreAtGameOver = -1.0;

    ShellRecorder()
    {
        resetGameState();
        events.clear();
        shellHooks.requestRepaint = [] { events.push_back("repaint"); };
        shellHooks.redrawBoard = [](const Well&) { events.push_back("redraw"); };
        shellHooks.invalidateStatusStrip = [] { events.push_back("strip"); };
        shellHooks.gameOverNotice = [] {
            events.push_back("gameover");
            scoreAtGameOver = score;
            gameRunning = false;
        };
    }
    ~ShellRecorder() { shellHooks = ShellHooks{}; }
};
