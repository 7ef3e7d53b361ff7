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

// The extension a save under this entry gives a name typed without one:
// ".bmk" for the pattern "*.bmk", taken from the first pattern of the form
// "*.ext" without wildcards in ext ("*.tar.gz" gives ".tar.gz"). Empty for "*.*" and for entries without
// such a pattern.
std::string DefaultExtension(const FileFilterEntry& entry);

// The path a save dialog's answer stands for: the entry's default extension
// is added when the file name has none (no dot after its first character);
// a name with an extension, an empty path and a path ending in a folder
// separator are kept as they are.
std::string WithDefaultExtension(std::string_view path, const FileFilterEntry& entry);

// Whether the file name of path (what follows its last folder separator)
// matches one of the ";"-separated patterns, ignoring case: "*" stands for
// any run of characters, "?" for any one ("*.st?" takes "game.ST1").
bool PathMatchesPatterns(std::string_view patterns, std::string_view path);
