#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

void ScriptedDialogs::Message(const std::string& text, const std::string& caption, MsgIcon icon)
{
    Prompts.push_back({Kind::Message, text, caption, icon});
}

bool ScriptedDialogs::AskYesNo(const std::string& text, const std::string& caption)
{
    Prompts.push_back({Kind::YesNo, text, caption, MsgIcon::None});
    if (yesNoAnswers_.empty()) {
        ADD_FAILURE() << "unexpected question: " << caption << ": " << text;
        return false;
    }
    const bool answer = yesNoAnswers_.front();
    yesNoAnswers_.pop_front();
    return answer;
}

SaveChoice ScriptedDialogs::AskSaveDiscardCancel(const std::string& text, const std::string& caption)
{
    Prompts.push_back({Kind::SaveDiscardCancel, text, caption, MsgIcon::None});
    if (saveAnswers_.empty()) {
        ADD_FAILURE() << "unexpected question: " << caption << ": " << text;
        return SaveChoice::Cancel;
    }
    const SaveChoice answer = saveAnswers_.front();
    saveAnswers_.pop_front();
    return answer;
}

FileChoice ScriptedDialogs::OpenFile(const std::string& filter)
{
    return NextFile(Kind::OpenFile, filter);
}

FileChoice ScriptedDialogs::SaveFile(const std::string& filter)
{
    return NextFile(Kind::SaveFile, filter);
}

FileChoice ScriptedDialogs::SaveFileSuggesting(const std::string& filter, const std::string& suggestedName)
{
    FileChoice choice = NextFile(Kind::SaveFile, filter);
    Prompts.back().SuggestedName = suggestedName;
    return choice;
}

FileChoice ScriptedDialogs::NextFile(Kind kind, const std::string& filter)
{
    Prompts.push_back({kind, filter, {}, MsgIcon::None});
    if (fileAnswers_.empty()) {
        ADD_FAILURE() << "unexpected file dialog for " << filter;
        return {};
    }
    FileChoice choice = fileAnswers_.front();
    fileAnswers_.pop_front();
    return choice;
}

std::optional<PackedColor> ScriptedDialogs::PickColor()
{
    Prompts.push_back({Kind::PickColor, {}, {}, MsgIcon::None});
    if (colorAnswers_.empty()) {
        ADD_FAILURE() << "unexpected color picker";
        return std::nullopt;
    }
    const auto color = colorAnswers_.front();
    colorAnswers_.pop_front();
    return color;
}
