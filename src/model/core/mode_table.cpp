#include "model/core/mode_table.h"

void FillModeTable(ModeInfoTable& table)
{
    table = StandardModes;
}
