// Starts the program in a fresh folder whose tabulka.dat is what
// LUMOX_START_WITH says, runs the tests, then shuts the program down.
#include <cstdlib>

#include "app/startup.h"
#include "app_fixture.h"
#include "results/results_file.h"
#include "results/results_store.h"

StartRecord atStart;

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const char* scenario = std::getenv("LUMOX_START_WITH");
    atStart.scenario = scenario ? scenario : "missing";
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "lumox-app-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    SetCurrentDirectoryA(folder.c_str());
    unsigned char bytes[100] = {12};  // as a record: capacity 0
    if (atStart.scenario == "damaged") {
        FILE* f = std::fopen("tabulka.dat", "wb");
        std::fwrite(bytes, 1, sizeof bytes, f);
        std::fclose(f);
    } else if (atStart.scenario == "refused") {
        saveResultsFile(bytes, 12, "tabulka.dat");
    } else if (atStart.scenario == "valid") {
        ResultsTable table(kResultsCapacity);
        table.insert("Alena", 7.5);
        table.insert("Bořek", 3.0);
        saveResultsTable(table, "tabulka.dat");
    }

    watchModals();
    expect([](HWND box) {
        atStart.mainVisibleDuringBox = IsWindowVisible(mainWindow);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    appInstance = GetModuleHandleA(nullptr);
    atStart.started = initApplication();
    if (atStart.started)
        showIdlePicture();
    pumpMessages();
    atStart.boxes = modals.seen;
    atStart.places = resultsTable ? resultsTable->placesFor(0.5) : -1;

    const int result = RUN_ALL_TESTS();
    if (IsWindow(mainWindow))
        DestroyWindow(mainWindow);
    pumpMessages();
    shutdownApplication();
    return result;
}
