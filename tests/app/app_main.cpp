// Starts the program inside the test process, in a fresh working folder
// whose tabulka.dat is as LUMOX_START_WITH says (missing, damaged, refused
// or valid), runs the tests, then shuts the program down.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/startup.h"
#include "app_fixture.h"
#include "app_start.h"
#include "results/results_file.h"
#include "results/results_store.h"

StartRecord atStart;

namespace {

void prepareFolder(const std::string& scenario)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "lumox-app-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    SetCurrentDirectoryA(folder.c_str());
    if (scenario == "damaged") {
        unsigned char junk[100];
        for (int i = 0; i < 100; ++i)
            junk[i] = static_cast<unsigned char>(i * 37 + 11);
        FILE* f = std::fopen("tabulka.dat", "wb");
        std::fwrite(junk, 1, sizeof junk, f);
        std::fclose(f);
    } else if (scenario == "refused") {
        unsigned char noSlots[12] = {12};  // capacity 0
        saveResultsFile(noSlots, sizeof noSlots, "tabulka.dat");
    } else if (scenario == "valid") {
        ResultsTable table(kResultsCapacity);
        table.insert("Alena", 7.5);
        table.insert("Bořek", 3.0);
        saveResultsTable(table, "tabulka.dat");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const char* scenario = std::getenv("LUMOX_START_WITH");
    atStart.scenario = scenario ? scenario : "missing";
    prepareFolder(atStart.scenario);

    // The verification box, if one comes, is answered with OK.
    watchModalWindows();
    expectModal([](HWND box) {
        atStart.mainVisibleDuringBox = IsWindowVisible(mainWindow) != FALSE;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    appInstance = GetModuleHandleA(nullptr);
    atStart.started = initApplication();
    if (atStart.started)
        showIdlePicture();
    pumpMessages();
    atStart.boxes = modals().seen;
    atStart.places = resultsTable ? resultsTable->placesFor(0.5) : -1;

    const int result = RUN_ALL_TESTS();

    if (IsWindow(mainWindow))
        DestroyWindow(mainWindow);
    pumpMessages();
    shutdownApplication();
    return result;
}
