#include "ui/browser/layout_dialog.h"

#include "ui/floor/form_dialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QFormLayout>
#include <QSpinBox>

namespace {

QSpinBox* SideBox(int value, QWidget* parent, const char* name)
{
    QSpinBox* box = NamedSpinBox(value, 1, MaxLayoutBlockSide, parent, name);
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
    if (!ExecWithOkCancel(dialog, *form))
        return std::nullopt;
    return TileLayout{width->value(), height->value(), columns->isChecked()};
}
