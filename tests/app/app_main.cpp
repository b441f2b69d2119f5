// Starts the program in a fresh folder holding the tabulka.dat LUMOX_START_WITH
// names, runs the tests, shuts the program down and removes the folder.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/startup.h"
#include "app_fixture.h"
#include "results/results_file.h"
#include "results/results_store.h"

StartRecord atStart;

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    atStart.scenario = std::getenv("LUMOX_START_WITH") ? std::getenv("LUMOX_START_WITH") : "missing";
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("lumox-app-" + std::to_string(GetCurrentProcessId()));
    fs::create_directory(folder), fs::current_path(folder);
    unsigned char bytes[100] = {12};  // as a record: capacity 0
    ResultsTable two(kResultsCapacity);
    two.insert("Alena", 7.5), two.insert("Bořek", 3.0);
    if (atStart.scenario == "damaged")
        std::ofstream("tabulka.dat", std::ios::binary).write(reinterpret_cast<char*>(bytes), sizeof bytes);
    if (atStart.scenario == "refused")
        saveResultsFile(bytes, 12, "tabulka.dat");
    if (atStart.scenario == "valid")
        ResultsStore("tabulka.dat").save(two);

    watchModals();
    expect([](HWND box) {
        atStart.mainVisibleDuringBox = IsWindowVisible(mainWindow);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    appInstance = GetModuleHandleA(nullptr);
    if ((atStart.started = initApplication()))
        showIdlePicture();
    pumpMessages();
    atStart.boxes = modals.seen;
    atStart.places = resultsTable ? resultsTable->placesFor(0.5) : -1;

    const int result = RUN_ALL_TESTS();
    if (IsWindow(mainWindow))
        DestroyWindow(mainWindow);
    pumpMessages();
    shutdownApplication();
    fs::current_path(folder.parent_path());
    fs::remove_all(folder);
    return result;
}
