#pragma once

#include <string>
#include <vector>

#include "app_fixture.h"

enum class StartScenario { Missing, Damaged, Valid };

// Set up by the test main before the program starts.
extern StartScenario startScenario;
extern bool startedOk;
extern std::vector<ModalSeen> modalsAtStart;
extern bool mainVisibleDuringStartBox;
extern int placesAtStart;
extern std::string firstNameAtStart;
