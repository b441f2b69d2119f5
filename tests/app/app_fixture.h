// The real program inside the test process: started once by the test main in
// a fresh folder, then driven through its window procedures with real
// messages. A CBT hook records every box and dialog (caption, and a box's
// text) and answers it with the next queued answer once its modal loop runs;
// one that comes with nothing queued is counted and closed.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/main_window.h"
#include "results/results_window.h"
#include "tests/support/win_test.h"

struct Modal { std::string caption, text; };
using Answer = std::function<void(HWND)>;
struct Modals {
    std::vector<Answer> queued;
    std::vector<Modal> seen;
    int unexpected = 0;
};
extern Modals modals;
void watchModals();
void expect(Answer answer);
Answer press(int buttonId);                              // 0: the close box
Answer typeNameAndOk(const char* name, WPARAM key = 0);  // OK pressed, or this key typed
Answer whileOpen(std::function<void(HWND)> during, Answer then);

std::string windowText(HWND window);
void command(int id);
void key(WPARAM vk);
void tick(int times = 1);
void startGame();                          // New, with no game running
std::vector<std::string> namesOnDisk();    // {"(invalid)"} when tabulka.dat does not load
COLORREF cellCentre(int column, int row);  // in the back buffer

struct StartRecord {  // what the test main saw while the program started
    std::string scenario;  // tabulka.dat was: missing, damaged, refused or valid
    bool started = false, mainVisibleDuringBox = false;
    std::vector<Modal> boxes;
    int places = -1;  // placesFor(0.5) right after start-up
};
extern StartRecord atStart;

struct AppTest : ::testing::Test {
    void SetUp() override;     // back to the idle program of start-up
    void TearDown() override;  // every box expected, nothing left open
};
