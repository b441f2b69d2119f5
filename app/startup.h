// Start-up, the two windows, the message loop and shutdown: the life of the
// objects of app/app_state.h. appInstance must be set before initApplication,
// and showIdlePicture needs a start that succeeded.
#pragma once

// Builds every object and both windows, loads the results and shows the main
// window. False when the program cannot start: the objects built are then
// freed and their pointers null again, while windows already made stay. A
// second call changes nothing and answers false.
bool initApplication();
// The picture before the first game, drawn and copied to the window.
void showIdlePicture();
// Dispatches messages until the main window is gone; the quit code.
int runMessageLoop();
// Stops the clock, frees everything and writes the results file, telling of a
// failed save in a box with no owner: meant for after the main window is
// destroyed. False, doing nothing, when start-up had not completed.
bool shutdownApplication();
