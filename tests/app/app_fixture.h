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

struct ModalSeen {
    std::string caption;
    std::string text;  // a message box's text, "" for dialogs
    std::wstring wideText;  // the same as Windows shows it (UTF-16)
    bool isDialog = false;
};

// What to do with the next modal window: called once it is active.
using ModalAction = std::function<void(HWND)>;

class ModalAnswerer {
public:
    static ModalAnswerer& get();
    // Queues the answer for the next box or dialog. A box or dialog that
    // arrives with nothing queued is recorded as unexpected and closed.
    void expect(ModalAction action) { actions.push_back(std::move(action)); }
    void reset()
    {
        actions.clear();
        seen.clear();
        unexpected = 0;
    }
    std::vector<ModalAction> actions;
    std::vector<ModalSeen> seen;
    int unexpected = 0;

private:
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK handle = nullptr;
    ModalAnswerer();
};

// Ready-made actions.
ModalAction press(int buttonId);          // posts WM_COMMAND with the id
ModalAction closeBox();                   // posts WM_CLOSE
ModalAction typeNameAndOk(const char* name);
// Checks, a while after `first` ran, whether the window is still open
// (into *stillOpen), then closes it with WM_CLOSE.
ModalAction thenCheckStillOpen(ModalAction first, bool* stillOpen);
// Runs `during` while the modal window is open, then `then`.
ModalAction whileOpen(std::function<void(HWND)> during, ModalAction then);

void pumpMessages();
std::string windowText(HWND window);

// Forces the next pieces: remainder r picks the r-th occupied slot.
void nextPieceBySlot(int slot);
// Starts a game without a question (none running).
void startGame();
// Ends any game quietly and puts every value back to its start-up state.
void resetToIdle();

// The names in tabulka.dat, slot order; {"(invalid)"} when it does not load.
std::vector<std::string> namesOnDisk();

// Pixel of the back buffer (column, row of a cell: its centre).
COLORREF bufferPixel(int x, int y);
COLORREF cellCentre(int column, int row);

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
