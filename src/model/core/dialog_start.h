#pragma once

#include <string>

// Where file dialogs start and what they offer, from the paths alone.

// The folder a file dialog opens in: the open ROM's folder (romPath empty
// when none is open), else the folder of the file last chosen in a dialog,
// else empty, leaving the dialog's own choice.
std::string DialogStartFolder(const std::string& romPath, const std::string& lastChosenPath);

// A file name for something made from the ROM: its name with the
// extension replaced, "game.gb" and ".ips" giving "game.ips". Empty when
// there is no ROM.
std::string NameAfterRom(const std::string& romPath, const std::string& extension);
