// The off-screen picture of the board and its drawing surface.
//
// Every change of the picture is drawn between beginDrawing() and
// endDrawing(); the main window's paint handler copies the bitmap to the
// window with blitToWindow(). Surfaces never nest. Because the repaint
// request is a synchronous WM_PAINT, blitToWindow() can run while a caller
// still has the surface open (the hard drop does this on every row): it then
// copies from that open surface and leaves it open.
//
// The buffer owns its bitmap from createBitmap until deleteBitmap; nothing
// frees it on destruction, so its owner calls deleteBitmap. The window is not
// owned: it is set before createBitmap and must stay valid while the buffer
// draws or copies. A false or null answer changes nothing: createBitmap keeps
// the old bitmap, deleteBitmap had none, and beginDrawing had no bitmap or
// window, found a surface already open, or was refused a DC.
#pragma once

#include <windows.h>

class BackBuffer {
public:
    bool createBitmap(int width, int height);
    bool deleteBitmap();
    HDC beginDrawing();
    void endDrawing();
    void blitToWindow();

    HBITMAP bitmap = nullptr;
    HGDIOBJ savedObject = nullptr;  // what memoryDC held before the bitmap
    HDC memoryDC = nullptr;         // the open surface, or null
    HWND window = nullptr;          // the main window, set by start-up
};

// The drawing surface of a back buffer for one scope: opened on construction,
// closed at the end of the scope or by close(), whichever comes first. dc() is
// null when no surface could be had; every drawing operation then does nothing.
class DrawingSurface {
public:
    explicit DrawingSurface(BackBuffer& owner) : buffer(owner), surface(owner.beginDrawing()) {}
    ~DrawingSurface() { close(); }
    DrawingSurface(const DrawingSurface&) = delete;
    DrawingSurface& operator=(const DrawingSurface&) = delete;

    HDC dc() const { return surface; }
    void close()
    {
        if (surface)
            buffer.endDrawing();
        surface = nullptr;
    }

private:
    BackBuffer& buffer;
    HDC surface;
};
