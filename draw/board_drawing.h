// Drawing the board's picture into the back buffer's surface.
//
// Where these live: the board, the well and the falling piece are portable
// game rules (core/, no windows.h), so their drawing operations cannot be
// member functions there. They are free functions here instead, each taking
// the object it draws as its first argument: drawWell(well, dc, ...) reads as
// well.drawWell(dc, ...) would. Nothing in core/ knows about drawing; the
// shell hands the whole-board redraw to the rules through ShellHooks.
//
// Every operation does nothing when handed a null surface, an invalid well or
// an invalid piece, and keeps no pointer past the call. Pens and brushes live
// for one tile or one operation. Drawing a piece writes its shape's working
// rotation (see walkCells), and drawFallingPiece remembers in the piece where
// it drew it.
#pragma once

#include <windows.h>

#include "core/falling_piece.h"

constexpr COLORREF kMidGray = 0x808080;         // (128, 128, 128): empty cells
constexpr COLORREF kDarkGray = 0x5A5A5A;        // (90, 90, 90): the grid drawn at start-up
constexpr COLORREF kLightBlueGray = 0xB0A0A0;   // (160, 160, 176): drawWell's optional grid

// Every cell of the well, row by row; the grid only when asked.
void drawWell(const Well& well, HDC dc, bool withGrid);
// Erases the piece where it was last drawn, draws it where it is now and
// remembers that place.
void drawFallingPiece(FallingPiece& piece, HDC dc);

// The picture before the first game: the whole board gray, then the dark grid.
void drawIdlePicture(const BoardGeometry& geometry, HDC dc);
