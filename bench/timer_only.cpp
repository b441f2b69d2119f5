// The floor for CPU use: a window that does nothing but keep a 10 ms timer,
// as the game does.
#include <windows.h>

static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = "TimerOnly";
    RegisterClassA(&wc);
    HWND window = CreateWindowA("TimerOnly", "TimerOnly", WS_OVERLAPPEDWINDOW, 50, 50, 200, 100, nullptr, nullptr,
                                instance, nullptr);
    ShowWindow(window, SW_SHOW);
    SetTimer(window, 1, 10, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
