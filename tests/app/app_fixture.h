// Runs the real program inside the test process: initApplication() once, in
// a fresh working folder, then every test drives the real window procedures
// with real messages. Message boxes and dialogs are answered by a CBT hook
// that records what each showed.
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

struct ModalSeen {
    std::string caption;
    std::string text;       // a message box's text, "" for dialogs
    std::wstring wideText;  // the same as Windows shows it (UTF-16)
    bool isDialog = false;  // one of the program's dialogs (they have button 1004)
};

// What to do with a box or dialog, once its modal loop runs.
using ModalAction = std::function<void(HWND)>;

struct Modals {
    std::vector<ModalAction> queued;  // answers for the next boxes, in order
    std::vector<ModalSeen> seen;
    int unexpected = 0;               // boxes that came with nothing queued
};
Modals& modals();
void watchModalWindows();  // installs the hook, once
void expectModal(ModalAction action);

ModalAction press(int buttonId);
ModalAction closeBox();
ModalAction typeNameAndOk(const char* name);
// Runs `during` while the window is open, then answers with `then`.
ModalAction whileOpen(std::function<void(HWND)> during, ModalAction then);
// Does `first`; a while later notes whether the window is still open, then
// closes it.
ModalAction thenCheckStillOpen(ModalAction first, bool* stillOpen);

std::string windowText(HWND window);
void command(int id);
void key(WPARAM vk);
void tick(int times = 1);
// Starts a game without a question (none running).
void startGame();
// The names in tabulka.dat, slot order; {"(invalid)"} when it does not load.
std::vector<std::string> namesOnDisk();
// The colour at the centre of a board cell in the back buffer.
COLORREF cellCentre(int column, int row);

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;     // back to the idle program of start-up
    void TearDown() override;  // every box expected, nothing left open
};
