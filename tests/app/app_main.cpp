// Starts the program inside the test process, in a fresh working folder
// prepared as LUMOX_START_WITH says (missing, damaged or valid tabulka.dat),
// runs the tests, then shuts the program down.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app_fixture.h"
#include "start_scenario.h"
#include "results/results_file.h"
#include "results/results_table.h"

StartScenario startScenario = StartScenario::Missing;
bool startedOk = false;
std::vector<ModalSeen> modalsAtStart;
bool mainVisibleDuringStartBox = true;
int placesAtStart = -1;
std::string firstNameAtStart;

namespace {

void enterFreshFolder()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    char folder[MAX_PATH];
    std::snprintf(folder, sizeof folder, "%slumox-app-%lu-%lu", temp, GetCurrentProcessId(), GetTickCount());
    CreateDirectoryA(folder, nullptr);
    SetCurrentDirectoryA(folder);
}

void prepareResultsFile()
{
    const char* which = std::getenv("LUMOX_START_WITH");
    if (which && std::strcmp(which, "damaged") == 0) {
        startScenario = StartScenario::Damaged;
        unsigned char junk[100];
        for (int i = 0; i < 100; ++i)
            junk[i] = static_cast<unsigned char>(i * 37 + 11);
        FILE* f = std::fopen("tabulka.dat", "wb");
        std::fwrite(junk, 1, sizeof junk, f);
        std::fclose(f);
    } else if (which && std::strcmp(which, "valid") == 0) {
        startScenario = StartScenario::Valid;
        ResultsTable table(10);
        table.insert("Alena", 7.5);
        table.insert("Bořek", 3.0);
        std::uint32_t length = 0;
        unsigned char* record = table.writeRecord(&length);
        saveResultsFile(record, length, "tabulka.dat");
        delete[] record;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    enterFreshFolder();
    prepareResultsFile();

    ModalAnswerer& modals = ModalAnswerer::get();
    if (startScenario == StartScenario::Damaged)
        modals.expect([](HWND box) {
            mainVisibleDuringStartBox = IsWindowVisible(mainWindow) != FALSE;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
    appInstance = GetModuleHandleA(nullptr);
    startedOk = initApplication();
    if (startedOk)
        drawIdlePicture();
    pumpMessages();
    modalsAtStart = modals.seen;
    if (resultsTable) {
        placesAtStart = resultsTable->placesFor(0.5);
        if (resultsTable->capacity > 0 && resultsTable->slots[0])
            firstNameAtStart = resultsTable->slots[0]->name;
    }
    modals.reset();

    const int result = RUN_ALL_TESTS();

    if (IsWindow(mainWindow))
        DestroyWindow(mainWindow);
    pumpMessages();
    shutdownApplication();
    return result;
}
