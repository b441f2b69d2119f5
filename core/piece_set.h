// The registry new pieces are drawn from: a fixed number of slots, each empty
// or owning a PieceShape. New shapes take the lowest free slot.
//
// The set frees its shapes with itself or in removeById. The falling piece
// and the well's cells only refer to them, so removing shapes is refused
// while a game runs (gameRunning, core/game_state.h). A capacity below 1, or
// slots that cannot be allocated, leave a set of capacity 0 that takes
// nothing; pickRandom answers null while the set is empty.
#pragma once

#include "core/piece_shape.h"

// The set the game draws from has ten slots; the seven standard pieces fill
// the first seven.
constexpr int kPieceSetCapacity = 10;

class PieceSet {
public:
    explicit PieceSet(int capacity);
    ~PieceSet();
    PieceSet(const PieceSet&) = delete;
    PieceSet& operator=(const PieceSet&) = delete;

    // Takes ownership on success; on failure the shape stays the caller's.
    bool add(PieceShape* shape);
    // Frees every shape with this id. Refused while a game runs.
    bool removeById(int id);
    // The r-th occupied slot for r = random() % (count + 1), with 0 counting
    // as 1: the first piece comes twice as often as each other one.
    PieceShape* pickRandom() const;

    void registerStandardPieces();
    void addExtendedPieces();
    void removeExtendedPieces();

    int capacity = 0;
    int count = 0;
    PieceShape** slots = nullptr;

    // Where pickRandom draws from; the C library's rand() unless a test
    // chooses the remainders itself.
    int (*random)() = nullptr;
};

// Ids of the two mirror pieces that "Extended tileset" switches: 128 plus the
// id of the piece each mirrors.
constexpr int kMirrorOf3Id = 131;
constexpr int kMirrorOf5Id = 133;
constexpr int kExtendedPieceIds[] = {kMirrorOf3Id, kMirrorOf5Id};
