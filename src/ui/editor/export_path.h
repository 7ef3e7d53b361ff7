#pragma once

#include <string>

class Dialogs;

// Asks for the name of a file to write and, when that file exists, whether
// to replace it ("Overwrite existing file?"). Empty when the user cancels
// either question.
std::string ChooseExportPath(Dialogs& dialogs, const std::string& filter);
