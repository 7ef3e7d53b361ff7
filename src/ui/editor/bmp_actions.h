#pragma once

struct ProgramState;
struct Windows;

// The tool panel's BMP buttons. Neither needs an open ROM file.

// Asks for a 128 x 128, 256 color BMP file and loads it into the editor's
// pixels and the working palette; every cell loses its address. Refused
// files leave everything as it was.
void ImportBmp(ProgramState& state, Windows& windows);

// Asks for a file name (and whether to replace an existing file) and writes
// the editor's cells and the working palette as one BMP file.
void ExportBmp(ProgramState& state, Windows& windows);
