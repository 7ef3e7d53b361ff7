#pragma once

#include <string>
#include <string_view>
#include <vector>

// One entry of a file dialog filter: the label the user sees and the name
// patterns it stands for.
struct FileFilterEntry {
    std::string Label;
    std::vector<std::string> Patterns;
};

// Splits a filter string of label and pattern pairs separated by "|"
// ("Gameboy Roms (*.gb,*.gbc)|*.gb;*.gbc|All files (*.*)|*.*") into its
// entries. Patterns are separated by ";" and trimmed of blanks; empty ones
// are dropped. A trailing label without patterns gets none.
std::vector<FileFilterEntry> ParseFileFilter(std::string_view filter);
