#pragma once

struct ProgramState;
struct Windows;

// The tool panel's PNG buttons: palette PNGs in and out of the editor, and
// the browser grid out.

// Asks for a 128 x 128 palette PNG and loads it into the editor's pixels
// and the working palette as one step; every cell loses its address.
// Refused files leave everything as it was.
void ImportPng(ProgramState& state, Windows& windows);

// Asks for a file name (and whether to replace an existing file) and writes
// the editor's cells with the working palette as one PNG.
void ExportEditorPng(ProgramState& state, Windows& windows);

// The same for the browser grid as shown; without an open file it only says
// so.
void ExportBrowserPng(ProgramState& state, Windows& windows);
