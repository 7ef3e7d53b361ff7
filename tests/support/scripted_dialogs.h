#pragma once

#include "model/core/dialogs.h"

#include <deque>
#include <string>
#include <vector>

// Dialogs for tests: answers come from queues filled by the test, and every
// prompt is recorded so the test can assert exactly what the user saw. An
// unexpected prompt (empty queue) fails the running test.
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Message, YesNo, SaveDiscardCancel, OpenFile, SaveFile, PickColor };

    struct Prompt {
        Kind PromptKind;
        std::string Text;  // message or question; the filter for file dialogs
        std::string Caption;
        MsgIcon Icon = MsgIcon::None;
        std::string SuggestedName;  // what a save dialog offered
    };

    using Dialogs::Message;
    void Message(const std::string& text, const std::string& caption, MsgIcon icon) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    SaveChoice AskSaveDiscardCancel(const std::string& text, const std::string& caption) override;
    FileChoice OpenFile(const std::string& filter) override;
    FileChoice SaveFile(const std::string& filter) override;
    FileChoice SaveFileSuggesting(const std::string& filter, const std::string& suggestedName) override;
    std::optional<PackedColor> PickColor() override;

    void QueueYesNo(bool answer) { yesNoAnswers_.push_back(answer); }
    void QueueSaveChoice(SaveChoice answer) { saveAnswers_.push_back(answer); }
    void QueueFile(FileChoice choice) { fileAnswers_.push_back(std::move(choice)); }
    void QueueColor(std::optional<PackedColor> color) { colorAnswers_.push_back(color); }

    // True when the test used every answer it queued.
    bool AllAnswersUsed() const { return yesNoAnswers_.empty() && saveAnswers_.empty() && fileAnswers_.empty() && colorAnswers_.empty(); }

    std::vector<Prompt> Prompts;

private:
    FileChoice NextFile(Kind kind, const std::string& filter);

    std::deque<bool> yesNoAnswers_;
    std::deque<SaveChoice> saveAnswers_;
    std::deque<FileChoice> fileAnswers_;
    std::deque<std::optional<PackedColor>> colorAnswers_;
};
