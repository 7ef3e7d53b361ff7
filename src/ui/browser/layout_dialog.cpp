#include "ui/browser/layout_dialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>

namespace {

QSpinBox* SideBox(int value, QWidget* parent, const char* name)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(1, MaxLayoutBlockSide);
    box->setValue(value);
    box->setSuffix(QStringLiteral(" tiles"));
    return box;
}

}  // namespace

std::optional<TileLayout> AskBlockLayout(QWidget* parent, const TileLayout& current)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("BlockLayoutDialog"));
    dialog.setWindowTitle(QStringLiteral("Blocks of tiles"));
    auto* form = new QFormLayout(&dialog);
    QSpinBox* width = SideBox(current.BlockWidth, &dialog, "SpinBlockWidth");
    QSpinBox* height = SideBox(current.BlockHeight, &dialog, "SpinBlockHeight");
    auto* columns = new QCheckBox(QStringLiteral("Tiles column by column inside a block"), &dialog);
    columns->setObjectName(QStringLiteral("ChkBlockColumns"));
    columns->setChecked(current.ColumnOrder);
    form->addRow(QStringLiteral("Block width:"), width);
    form->addRow(QStringLiteral("Block height:"), height);
    form->addRow(columns);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return TileLayout{width->value(), height->value(), columns->isChecked()};
}
