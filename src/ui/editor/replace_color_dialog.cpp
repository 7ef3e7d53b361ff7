#include "ui/editor/replace_color_dialog.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

namespace {

QSpinBox* IndexBox(int value, QWidget* parent, const char* name)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(0, 255);
    box->setValue(value);
    return box;
}

}  // namespace

std::optional<ColorReplacement> AskColorReplacement(QWidget* parent, std::uint8_t toColor)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("ReplaceColorDialog"));
    dialog.setWindowTitle(QStringLiteral("Replace color"));
    auto* form = new QFormLayout(&dialog);
    QSpinBox* from = IndexBox(0, &dialog, "SpinFromColor");
    QSpinBox* to = IndexBox(toColor, &dialog, "SpinToColor");
    auto* scope = new QComboBox(&dialog);
    scope->setObjectName(QStringLiteral("ComboReplaceScope"));
    scope->addItems({QStringLiteral("The cursor cell"), QStringLiteral("All cells")});
    form->addRow(QStringLiteral("Replace color no:"), from);
    form->addRow(QStringLiteral("With color no:"), to);
    form->addRow(QStringLiteral("In:"), scope);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return ColorReplacement{static_cast<std::uint8_t>(from->value()), static_cast<std::uint8_t>(to->value()),
                            scope->currentIndex() == 1};
}
