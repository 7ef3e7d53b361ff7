#pragma once

struct ProgramState;
struct Windows;

// The Edit menu's clipboard items: pictures to and from other programs.
// What is copied goes out twice: as a palette PNG ("image/png") whose
// indices are the cells' own, and as an ordinary image for programs that
// take no PNG.

// The editor's cursor cell, 8 x 8 pixels.
void CopyCursorCell(ProgramState& state, Windows& windows);
// All 16 x 16 cells as the 128 x 128 picture the PNG export writes.
void CopyAllCells(ProgramState& state, Windows& windows);
// The browser's selected tile; without an open file it only says so.
void CopyBrowserTile(ProgramState& state, Windows& windows);

// The clipboard's picture into the editor from the cursor cell on, as one
// undoable step; the information line says how the colors matched.
void PasteIntoCursorCell(ProgramState& state, Windows& windows);
