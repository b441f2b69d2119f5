#include "core/piece_shape.h"

#include <algorithm>
#include <new>

PieceShape::PieceShape(int id_) : id(id_), cursor(&head) {}

PieceShape::~PieceShape() { freeCells(); }

CellNode* PieceShape::addCell(int x, int y)
{
    if (x < minX)
        minX = x;
    else if (x > maxX)
        maxX = x;
    if (y < minY)
        minY = y;
    else if (y > maxY)
        maxY = y;

    CellNode* node = new (std::nothrow) CellNode;
    if (!node)
        return nullptr;
    node->x = x;
    node->y = y;
    node->next = head.next;
    head.next = node;
    return node;
}

Point PieceShape::rotatePoint(int x, int y) const
{
    switch (rotation & 3) {
    case 1: return {minY + maxY - y, x};
    case 2: return {minX + maxX - x, minY + maxY - y};
    case 3: return {y, minX + maxX - x};
    default: return {x, y};
    }
}

Box PieceShape::rotatedBounds() const
{
    const Point a = rotatePoint(minX, minY);
    const Point b = rotatePoint(maxX, maxY);
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

Point PieceShape::pivotCorrection() const
{
    // Arithmetic shift: odd sums round towards minus infinity (-1 >> 1 == -1).
    const Point centre = {(minX + maxX) >> 1, (minY + maxY) >> 1};
    const Point turned = rotatePoint(centre.x, centre.y);
    return {centre.x - turned.x, centre.y - turned.y};
}

bool PieceShape::nextCell()
{
    if (cursor->next) {
        cursor = cursor->next;
        return true;
    }
    cursor = &head;
    return false;
}

void PieceShape::freeCells()
{
    // Iterative, so a long list cannot exhaust the stack.
    CellNode* node = head.next;
    head.next = nullptr;
    while (node) {
        CellNode* next = node->next;
        delete node;
        node = next;
    }
    cursor = &head;
}
