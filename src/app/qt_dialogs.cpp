#include "app/qt_dialogs.h"

#include "core/file_filter.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

void QtDialogs::Message(const std::string& text, const std::string& caption, MsgIcon icon)
{
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    if (icon == MsgIcon::Information)
        qtIcon = QMessageBox::Information;
    else if (icon == MsgIcon::Critical)
        qtIcon = QMessageBox::Critical;
    QMessageBox box(qtIcon, QString::fromStdString(caption), DisplayText(text), QMessageBox::Ok, parent_);
    box.exec();
}

bool QtDialogs::AskYesNo(const std::string& text, const std::string& caption)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption), DisplayText(text),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

SaveChoice QtDialogs::AskSaveDiscardCancel(const std::string& text, const std::string& caption)
{
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(caption), DisplayText(text),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent_);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveChoice::Save;
    case QMessageBox::Discard:
        return SaveChoice::Discard;
    default:
        return SaveChoice::Cancel;
    }
}

FileChoice QtDialogs::OpenFile(const std::string& filter)
{
    return RunFileDialog(filter, false);
}

FileChoice QtDialogs::SaveFile(const std::string& filter)
{
    FileChoice choice = RunFileDialog(filter, true);
    // A name typed without an extension gets the chosen entry's one.
    const std::vector<FileFilterEntry> entries = ParseFileFilter(filter);
    if (!choice.Path.empty() && choice.FilterIndex >= 1 && choice.FilterIndex <= static_cast<int>(entries.size()))
        choice.Path = WithDefaultExtension(choice.Path, entries[choice.FilterIndex - 1]);
    return choice;
}

std::optional<PackedColor> QtDialogs::PickColor()
{
    const QColor color = QColorDialog::getColor(Qt::white, parent_);
    if (!color.isValid())
        return std::nullopt;
    return MakePackedColor(color.red(), color.green(), color.blue());
}

FileChoice QtDialogs::RunFileDialog(const std::string& filter, bool save)
{
    const QStringList nameFilters = ToNameFilters(filter);
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The program asks its own overwrite questions, and an open may name a
    // file that does not exist (it is then treated like a cancel).
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFilters);
    if (!nameFilters.isEmpty())
        dialog.selectNameFilter(nameFilters.front());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().front();
    if (path.isEmpty())
        return {};
    return {path.toStdString(), FilterIndexOf(nameFilters, dialog.selectedNameFilter())};
}

QStringList QtDialogs::ToNameFilters(const std::string& filter)
{
    QStringList nameFilters;
    for (const FileFilterEntry& entry : ParseFileFilter(filter)) {
        QStringList patterns;
        for (const std::string& pattern : entry.Patterns)
            patterns << (pattern == "*.*" ? QStringLiteral("*") : QString::fromStdString(pattern));
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        nameFilters << QString::fromStdString(entry.Label) + QStringLiteral(" (") + patterns.join(' ') +
                           QStringLiteral(")");
    }
    return nameFilters;
}

int QtDialogs::FilterIndexOf(const QStringList& nameFilters, const QString& selected)
{
    // With the details hidden the dialog reports the label alone.
    for (qsizetype i = 0; i < nameFilters.size(); ++i) {
        const QString& nameFilter = nameFilters[i];
        if (nameFilter == selected || nameFilter.left(nameFilter.lastIndexOf(QStringLiteral(" ("))) == selected)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

QString QtDialogs::DisplayText(const std::string& text)
{
    QString display = QString::fromStdString(text);
    display.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    display.replace('\r', '\n');
    return display;
}
