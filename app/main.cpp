// Lumox: a falling-block puzzle game.
#include <windows.h>

#include "app/app_state.h"
#include "app/startup.h"
#include "app/texts.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    appInstance = instance;
    if (!initApplication()) {
        MessageBoxA(nullptr, text::kStartFailed, text::kStartFailedCaption, MB_ICONEXCLAMATION | MB_OK);
        return 0;
    }
    showIdlePicture();
    const int exitCode = runMessageLoop();
    shutdownApplication();
    return exitCode;
}
