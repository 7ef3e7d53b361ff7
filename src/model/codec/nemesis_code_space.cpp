#include "model/codec/nemesis_code_space.h"

#include <algorithm>
#include <climits>

namespace {

constexpr std::int32_t InlineBits = NemesisEscapeLength + NemesisInlineRunBits;
// No such choice: more than any stream's bits, yet a nibble's eight runs
// all inline can be added to it without overflow.
constexpr std::int32_t Far = 1 << 28;
static_assert(std::int64_t{Far} * 2 + std::int64_t{NemesisMaxRun} * InlineBits * NemesisMaxTiles * 64 < INT32_MAX);
constexpr std::int32_t EntryBits = 16;      // length byte and code byte
constexpr std::int32_t NibbleByteBits = 8;  // before the nibble's first entry
// The largest room one code takes (length 1).
constexpr int Widest = 1 << (NemesisMaxCodeLength - 1);

int Room(int length)
{
    return 1 << (NemesisMaxCodeLength - length);
}

}  // namespace

void NemesisNibbleCodes::Choose(const std::int64_t* uses, const bool* forbidden)
{
    // coded[r]: the least bits in room r with at least one run coded.
    NemesisRoomBits coded;
    coded.fill(Far);
    std::int32_t allInline = 0;
    // from[Widest + r]: the least bits before a code placed in room r,
    // nothing below room 0.
    std::array<std::int32_t, Widest + NemesisRooms> from;
    std::fill(from.begin(), from.begin() + Widest, Far);
    for (int run = 0; run < NemesisMaxRun; ++run) {
        NemesisRoomChoice& length = length_[run];
        NemesisRoomChoice& startsHere = startsHere_[run];
        const auto used = static_cast<std::int32_t>(uses[run]);
        const std::int32_t inlineBits = used * InlineBits;
        if (used == 0 || forbidden[run]) {
            length.fill(0);
            startsHere.fill(0);
            for (auto& bits : coded)
                bits += inlineBits;
            allInline += inlineBits;
            continue;
        }
        const std::int32_t firstCode = allInline + NibbleByteBits;
        for (int r = 0; r < NemesisRooms; ++r) {
            from[Widest + r] = std::min(coded[r], firstCode);
            startsHere[r] = coded[r] >= firstCode;
        }
        NemesisRoomBits next;
        for (int r = 0; r < NemesisRooms; ++r) {
            next[r] = coded[r] + inlineBits;
            length[r] = 0;
        }
        for (int codeLength = 1; codeLength <= NemesisMaxCodeLength; ++codeLength) {
            const std::int32_t cost = used * codeLength + EntryBits;
            const std::int32_t* before = from.data() + Widest - Room(codeLength);
            for (int r = 0; r < NemesisRooms; ++r) {
                const std::int32_t bits = before[r] + cost;
                const bool better = bits < next[r];
                next[r] = better ? bits : next[r];
                length[r] = better ? codeLength : length[r];
            }
        }
        coded = next;
        allInline += inlineBits;
    }
    for (int r = 0; r < NemesisRooms; ++r) {
        anyCoded_[r] = coded[r] < allInline;
        bits_[r] = std::min(coded[r], allInline);
    }
}

void NemesisNibbleCodes::Lengths(int room, std::uint8_t* lengths) const
{
    std::fill(lengths, lengths + NemesisMaxRun, std::uint8_t{0});
    if (!anyCoded_[room])
        return;
    for (int run = NemesisMaxRun - 1; run >= 0; --run) {
        const int length = length_[run][room];
        if (length == 0)
            continue;
        lengths[run] = static_cast<std::uint8_t>(length);
        room -= Room(length);
        if (startsHere_[run][room])
            return;
    }
}

void ShareNemesisRooms(const NemesisRoomBits& a, const NemesisRoomBits& b, NemesisRoomBits& out,
                       NemesisRoomChoice* share)
{
    // b gets no smaller beyond the room it needs.
    int needed = 0;
    while (b[needed] > b[NemesisCodeRoom])
        ++needed;
    std::array<std::int32_t, 2 * NemesisRooms> padded;
    std::fill(padded.begin(), padded.begin() + NemesisRooms, Far);
    std::copy(a.begin(), a.end(), padded.begin() + NemesisRooms);
    // Locals, so that the compiler sees nothing else written and vectorizes.
    NemesisRoomBits least;
    NemesisRoomChoice part;
    for (int r = 0; r < NemesisRooms; ++r) {
        least[r] = a[r] + b[0];
        part[r] = 0;
    }
    for (int p = 1; p <= needed; ++p) {
        const std::int32_t* rest = padded.data() + NemesisRooms - p;
        const std::int32_t partBits = b[p];
        if (share) {
            for (int r = 0; r < NemesisRooms; ++r) {
                const std::int32_t bits = rest[r] + partBits;
                const bool better = bits < least[r];
                least[r] = better ? bits : least[r];
                part[r] = better ? p : part[r];
            }
        } else {
            for (int r = 0; r < NemesisRooms; ++r)
                least[r] = std::min(least[r], rest[r] + partBits);
        }
    }
    out = least;
    if (share)
        *share = part;
}
