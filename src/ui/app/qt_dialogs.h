#pragma once

#include "model/core/dialogs.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <string>

class QWidget;

// The Dialogs seam on Qt: message boxes, file dialogs and the color picker,
// all modal to the given parent window.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent) : parent_(parent) {}

    // The open ROM's path, asked each time a file dialog opens (empty: none
    // is open). File dialogs start in its folder, else in the folder of the
    // file last chosen in one of them.
    void SetRomPath(std::function<std::string()> romPath) { romPath_ = std::move(romPath); }

    using Dialogs::Message;
    void Message(const std::string& text, const std::string& caption, MsgIcon icon) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    SaveChoice AskSaveDiscardCancel(const std::string& text, const std::string& caption) override;
    FileChoice OpenFile(const std::string& filter) override;
    FileChoice SaveFile(const std::string& filter) override;
    FileChoice SaveFileSuggesting(const std::string& filter, const std::string& suggestedName) override;
    std::optional<PackedColor> PickColor() override;

    // "label|patterns|..." as Qt name filters, one per entry: the label
    // followed by its patterns in parentheses, "*.*" standing for every
    // file. The dialog hides the added parentheses, so users see the labels
    // exactly as given.
    static QStringList ToNameFilters(const std::string& filter);

    // 1-based position of the selected name filter, given in full or as its
    // label alone; 0 when it is not listed.
    static int FilterIndexOf(const QStringList& nameFilters, const QString& selected);

    // The program's texts break lines with carriage returns; Qt labels
    // break on line feeds.
    static QString DisplayText(const std::string& text);

private:
    FileChoice RunFileDialog(const std::string& filter, bool save, const std::string& suggestedName = {});

    QWidget* parent_;
    std::function<std::string()> romPath_;
    std::string lastChosen_;
};
