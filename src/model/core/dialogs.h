#pragma once

#include "model/core/packed_color.h"

#include <optional>
#include <string>

// Every message box, question, file dialog and color picker goes through
// this interface, so the model can ask the user without knowing Qt and tests
// can script the answers and read back every prompt.

enum class MsgIcon { None, Information, Critical };

// The file the user chose and the 1-based position of the filter entry that
// was selected when the dialog closed. An empty path means cancelled, with
// FilterIndex 0.
struct FileChoice {
    std::string Path;
    int FilterIndex = 0;
};

// A message for the user exactly as it is shown. Model code that reads or
// writes files returns one when something goes wrong; windows show it.
struct UserMessage {
    std::string Text;  // lines separated by a carriage return
    std::string Caption;
    MsgIcon Icon = MsgIcon::None;
};

// The answer to a question about unsaved work.
enum class SaveChoice { Save, Discard, Cancel };

class Dialogs {
public:
    virtual ~Dialogs() = default;

    void Message(const UserMessage& message) { Message(message.Text, message.Caption, message.Icon); }

    // A message box with an OK button. Line breaks in text are carriage
    // returns, as the program's texts are written.
    virtual void Message(const std::string& text, const std::string& caption, MsgIcon icon) = 0;

    // A Yes/No question without icon, Yes the default button; true on Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;

    // A warning with the platform's Save, Discard and Cancel buttons, Save
    // the default; closing the box is Cancel.
    virtual SaveChoice AskSaveDiscardCancel(const std::string& text, const std::string& caption) = 0;

    // File dialogs. filter is "label|patterns|label|patterns...", patterns
    // separated by ";"; the first entry is selected when the dialog opens.
    virtual FileChoice OpenFile(const std::string& filter) = 0;
    virtual FileChoice SaveFile(const std::string& filter) = 0;
    // A save dialog that offers suggestedName (a file name without folder)
    // to start with; a dialog that cannot offer one asks as SaveFile does.
    virtual FileChoice SaveFileSuggesting(const std::string& filter, const std::string& suggestedName)
    {
        (void)suggestedName;
        return SaveFile(filter);
    }

    // The platform's color picker; nullopt when cancelled.
    virtual std::optional<PackedColor> PickColor() = 0;
};
