// Start-up, the two windows, the message loop and shutdown.
#pragma once

// Builds every object and both windows, loads the results and shows the main
// window. False (with what was built freed) when the program cannot start; a
// second call changes nothing and answers false.
bool initApplication();
// Registers the two window classes and creates the windows; once only.
bool createWindows();
// The picture before the first game, drawn and copied to the window.
void showIdlePicture();
// Dispatches messages until the main window is gone; the quit code.
int runMessageLoop();
// Stops the clock, frees everything and writes the results file. False when
// start-up had not completed.
bool shutdownApplication();
