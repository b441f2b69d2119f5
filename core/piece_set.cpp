#include "core/piece_set.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "core/game_state.h"

namespace {

struct StandardPiece {
    int id;
    Colour colour;
    bool rotatable;
    Point cells[3];  // added in this order; the origin is always part of it
};

// Slot order is registration order.
constexpr StandardPiece kStandardPieces[] = {
    {1, 0x002040F0, true, {{-1, 1}, {0, 1}, {1, 1}}},
    {2, 0x0040F020, true, {{-2, 0}, {-1, 0}, {1, 0}}},
    {3, 0x00F02040, true, {{0, 1}, {1, 0}, {1, -1}}},
    {kMirrorOf3Id, 0x00F02040, true, {{0, -1}, {1, 0}, {1, 1}}},
    {4, 0x00A020A0, false, {{0, 1}, {1, 0}, {1, 1}}},
    {5, 0x0040D0E0, true, {{1, 0}, {0, -1}, {0, -2}}},
    {kMirrorOf5Id, 0x0040D0E0, true, {{-1, 0}, {0, -1}, {0, -2}}},
};

int standardRandom() { return std::rand(); }

void buildAndAdd(PieceSet& set, const StandardPiece& piece)
{
    PieceShape* shape = new (std::nothrow) PieceShape(piece.id);
    if (!shape)
        return;
    shape->colour = piece.colour;
    if (!piece.rotatable)
        shape->rotatable = false;
    for (const Point& cell : piece.cells)
        shape->addCell(cell.x, cell.y);
    if (!set.add(shape))
        delete shape;
}

}  // namespace

PieceSet::PieceSet(int capacity_) : random(standardRandom)
{
    if (capacity_ < 1)
        return;
    slots = new (std::nothrow) PieceShape*[capacity_]();
    if (slots)
        capacity = capacity_;
}

PieceSet::~PieceSet()
{
    for (int i = 0; i < capacity; ++i) {
        delete slots[i];  // the shape frees its cells first
        slots[i] = nullptr;
    }
    delete[] slots;
    slots = nullptr;
}

bool PieceSet::add(PieceShape* shape)
{
    if (!shape || capacity < 1 || count == capacity)
        return false;
    for (int i = 0; i < capacity; ++i) {
        if (!slots[i]) {
            slots[i] = shape;
            ++count;
            return true;
        }
    }
    return false;
}

bool PieceSet::removeById(int id)
{
    if (gameRunning)
        return false;
    bool removed = false;
    for (int i = 0; i < capacity; ++i) {
        if (slots[i] && slots[i]->id == id) {
            // Well cells and the controller of the finished game may still
            // point here; nothing follows them until New game has emptied
            // the well and placed a new piece.
            delete slots[i];
            slots[i] = nullptr;
            --count;
            removed = true;
        }
    }
    return removed;
}

PieceShape* PieceSet::pickRandom() const
{
    if (count <= 0)
        return nullptr;
    int r = random() % (count + 1);
    if (r < 0)
        r = -r;  // a misbehaving source must not walk off the slots
    if (r == 0)
        r = 1;
    for (int i = 0; i < capacity; ++i) {
        if (slots[i] && --r == 0)
            return slots[i];
    }
    return nullptr;
}

void PieceSet::registerStandardPieces()
{
    for (const StandardPiece& piece : kStandardPieces)
        buildAndAdd(*this, piece);
}

void PieceSet::addExtendedPieces()
{
    for (const StandardPiece& piece : kStandardPieces)
        if (std::ranges::count(kExtendedPieceIds, piece.id) != 0)
            buildAndAdd(*this, piece);
}

void PieceSet::removeExtendedPieces()
{
    for (int id : kExtendedPieceIds)
        removeById(id);
}
