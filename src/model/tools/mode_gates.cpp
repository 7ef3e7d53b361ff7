#include "model/tools/mode_gates.h"

#include <algorithm>

namespace search {

std::vector<ModeGate> MakeModeGates(const std::vector<std::pair<GraphicsMode, const ByteFilter*>>& filters)
{
    std::vector<ModeGate> gates;
    for (const auto& [mode, filter] : filters) {
        const bool oneByte = filter->First == filter->Second;
        auto gate = std::find_if(gates.begin(), gates.end(), [&](const ModeGate& g) {
            return g.First == filter->First && (oneByte || g.Second == filter->Second);
        });
        if (gate == gates.end()) {
            gates.push_back({filter->First, filter->Second, std::vector<std::uint16_t>(65536, 0xFFFF)});
            gate = gates.end() - 1;
        }
        const auto bit = static_cast<std::uint16_t>(1u << mode);
        for (unsigned index = 0; index < 65536; ++index) {
            const unsigned asked = oneByte ? (index & 0xFF) * 0x101 : index;
            if (!((filter->Bits[asked >> 6] >> (asked & 63)) & 1))
                gate->Modes[index] &= static_cast<std::uint16_t>(~bit);
        }
    }
    return gates;
}

}  // namespace search
