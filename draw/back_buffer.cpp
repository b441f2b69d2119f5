#include "draw/back_buffer.h"

#include "draw/gdi_objects.h"

bool BackBuffer::createBitmap(int width, int height)
{
    if (!window || width < 1 || height < 1)
        return false;
    HDC windowDC = GetDC(window);
    if (!windowDC)
        return false;
    HBITMAP created = CreateCompatibleBitmap(windowDC, width, height);
    ReleaseDC(window, windowDC);
    if (!created)
        return false;
    if (bitmap)
        DeleteObject(bitmap);
    bitmap = created;
    return true;
}

bool BackBuffer::deleteBitmap()
{
    if (!bitmap)
        return false;
    DeleteObject(bitmap);
    bitmap = nullptr;
    return true;
}

HDC BackBuffer::beginDrawing()
{
    if (memoryDC || !bitmap || !window)
        return nullptr;
    HDC windowDC = GetDC(window);
    if (!windowDC)
        return nullptr;
    memoryDC = createCompatibleDCCounted(windowDC);
    ReleaseDC(window, windowDC);
    if (!memoryDC)
        return nullptr;
    savedObject = SelectObject(memoryDC, bitmap);
    return memoryDC;
}

void BackBuffer::endDrawing()
{
    if (!memoryDC)
        return;
    SelectObject(memoryDC, savedObject);
    deleteDCCounted(memoryDC);
    memoryDC = nullptr;
    savedObject = nullptr;
}

void BackBuffer::blitToWindow()
{
    if (!window || !bitmap)
        return;
    BITMAP description;
    if (!GetObjectA(bitmap, sizeof description, &description))
        return;

    const bool openedHere = !memoryDC;
    if (openedHere && !beginDrawing())
        return;
    if (HDC windowDC = GetDC(window)) {
        BitBlt(windowDC, 0, 0, description.bmWidth, description.bmHeight, memoryDC, 0, 0, SRCCOPY);
        ReleaseDC(window, windowDC);
    }
    if (openedHere)
        endDrawing();
}
