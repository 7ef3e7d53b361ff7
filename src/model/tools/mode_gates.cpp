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

FirstByteFilter MakeFirstByteFilter(const std::vector<ModeGate>& gates, std::uint16_t modes)
{
    FirstByteFilter best;
    int fewest = FirstByteFilter::MaxValues + 1;
    for (const ModeGate& gate : gates) {
        std::vector<std::uint8_t> values;
        for (unsigned first = 0; first < 256; ++first)
            for (unsigned second = 0; second < 256; ++second)
                if (gate.Modes[first | second << 8] & modes) {
                    values.push_back(static_cast<std::uint8_t>(first));
                    break;
                }
        if (static_cast<int>(values.size()) >= fewest)
            continue;
        fewest = static_cast<int>(values.size());
        best.Used = true;
        best.Position = gate.First;
        best.Count = std::max(4, (fewest + 3) / 4 * 4);
        best.Values.fill(values.empty() ? 0 : values[0]);
        std::copy(values.begin(), values.end(), best.Values.begin());
    }
    return best;
}

}  // namespace search
