// Proves the path every Windows test of the project relies on: a real window
// under Wine, messages sent to it synchronously, GDI drawing read back by
// pixel, and narrow texts arriving as Windows-1250.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

UINT lastMessage = 0;
int appMessages = 0;

LRESULT CALLBACK probeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_APP) {
        ++appMessages;
        lastMessage = msg;
        return 42;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND createProbeWindow()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = probeProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "LumoxProbe";
        registered = RegisterClassA(&wc) != 0;
    }
    return CreateWindowA("LumoxProbe", "probe", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

TEST(Platform, AWindowReceivesSentMessages)
{
    HWND hwnd = createProbeWindow();
    ASSERT_NE(hwnd, nullptr);
    appMessages = 0;
    EXPECT_EQ(SendMessageA(hwnd, WM_APP, 0, 0), 42);
    EXPECT_EQ(appMessages, 1);
    EXPECT_EQ(lastMessage, static_cast<UINT>(WM_APP));
    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST(Platform, NarrowTextsAreWindows1250)
{
    EXPECT_EQ(GetACP(), 1250u);
    HWND hwnd = createProbeWindow();
    ASSERT_NE(hwnd, nullptr);
    const char* caption = "Tabulka výsledků";
    EXPECT_EQ(static_cast<unsigned char>(caption[15]), 0xF9u);  // ů in Windows-1250
    ASSERT_TRUE(SetWindowTextA(hwnd, caption));
    wchar_t wide[64] = {};
    GetWindowTextW(hwnd, wide, 64);
    EXPECT_EQ(wide[9], L'ý');
    EXPECT_EQ(wide[15], L'ů');
    DestroyWindow(hwnd);
}

TEST(Platform, GdiDrawingReadsBackByPixel)
{
    HWND hwnd = createProbeWindow();
    ASSERT_NE(hwnd, nullptr);
    HDC windowDC = GetDC(hwnd);
    HDC memoryDC = CreateCompatibleDC(windowDC);
    HBITMAP bitmap = CreateCompatibleBitmap(windowDC, 8, 8);
    ReleaseDC(hwnd, windowDC);
    ASSERT_NE(memoryDC, nullptr);
    ASSERT_NE(bitmap, nullptr);
    HGDIOBJ saved = SelectObject(memoryDC, bitmap);
    HBRUSH brush = CreateSolidBrush(RGB(240, 64, 32));
    RECT r = {2, 2, 5, 5};
    FillRect(memoryDC, &r, brush);
    EXPECT_EQ(GetPixel(memoryDC, 2, 2), RGB(240, 64, 32));
    EXPECT_EQ(GetPixel(memoryDC, 4, 4), RGB(240, 64, 32));
    EXPECT_NE(GetPixel(memoryDC, 5, 5), RGB(240, 64, 32));  // half-open
    SelectObject(memoryDC, saved);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(GetObjectType(brush), 0u);
    DeleteObject(bitmap);
    DeleteDC(memoryDC);
    DestroyWindow(hwnd);
}

}  // namespace
