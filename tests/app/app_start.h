// What the test main saw while the program started.
#pragma once

#include <string>
#include <vector>

#include "app_fixture.h"

struct StartRecord {
    std::string scenario;  // what tabulka.dat was: missing, damaged, refused, valid
    bool started = false;
    std::vector<ModalSeen> boxes;
    bool mainVisibleDuringBox = true;
    int places = -1;       // placesFor(0.5) right after start-up
};
extern StartRecord atStart;
