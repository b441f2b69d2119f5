// Records what the rules ask of the shell, in order, so tests can check the
// sequence (repaint, board redraw, game over, status strip).
#pragma once

#include <string>
#include <vector>

#include "core/game_state.h"

struct ShellRecorder {
    std::vector<std::string> events;
    double scoreAtGameOver = -1.0;
    void (*onGameOver)() = nullptr;  // extra work a test wants inside the notice

    ShellRecorder()
    {
        resetGameState();
        active() = this;
        shellHooks.requestRepaint = [] { active()->events.push_back("repaint"); };
        shellHooks.redrawBoard = [](const Well&) { active()->events.push_back("redraw"); };
        shellHooks.invalidateStatusStrip = [] { active()->events.push_back("strip"); };
        shellHooks.gameOverNotice = [] {
            active()->events.push_back("gameover");
            active()->scoreAtGameOver = score;
            if (active()->onGameOver)
                active()->onGameOver();
        };
    }
    ~ShellRecorder()
    {
        shellHooks = ShellHooks{};
        active() = nullptr;
        resetGameState();
    }
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;

    static ShellRecorder*& active()
    {
        static ShellRecorder* current = nullptr;
        return current;
    }
};
