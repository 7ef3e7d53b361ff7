#include "ui/editor/replace_color_dialog.h"

#include "ui/floor/form_dialog.h"

#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QSpinBox>

std::optional<ColorReplacement> AskColorReplacement(QWidget* parent, std::uint8_t toColor)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("ReplaceColorDialog"));
    dialog.setWindowTitle(QStringLiteral("Replace color"));
    auto* form = new QFormLayout(&dialog);
    QSpinBox* from = NamedSpinBox(0, 0, 255, &dialog, "SpinFromColor");
    QSpinBox* to = NamedSpinBox(toColor, 0, 255, &dialog, "SpinToColor");
    auto* scope = new QComboBox(&dialog);
    scope->setObjectName(QStringLiteral("ComboReplaceScope"));
    scope->addItems({QStringLiteral("The cursor cell"), QStringLiteral("All cells")});
    form->addRow(QStringLiteral("Replace color no:"), from);
    form->addRow(QStringLiteral("With color no:"), to);
    form->addRow(QStringLiteral("In:"), scope);
    if (!ExecWithOkCancel(dialog, *form))
        return std::nullopt;
    return ColorReplacement{static_cast<std::uint8_t>(from->value()), static_cast<std::uint8_t>(to->value()),
                            scope->currentIndex() == 1};
}
