#include "model/core/mode_short_names.h"

std::string_view ModeShortName(GraphicsMode mode)
{
    for (const ModeShortNameEntry& name : ModeShortNames)
        if (name.Mode == mode)
            return name.Short;
    return {};
}

std::optional<GraphicsMode> ModeFromShortName(std::string_view text)
{
    for (const ModeShortNameEntry& name : ModeShortNames)
        if (name.Short == text)
            return name.Mode;
    return std::nullopt;
}
