// The editor address pattern file (.eap). The reader and the file loader
// agree; only a wrong magic refuses a file; at most 64 records, every
// complete one read, so what is left over holds no complete record; an
// address is its four bytes, or EmptySlot when the top bit is set; saving
// the patterns writes the bytes they were read from (a negative address as
// FF FF FF FF), and a saved file loads back the same.

#include "model/editor/pattern_file.h"
#include "fuzz_support.h"

#include <algorithm>
#include <memory>

namespace {

constexpr std::size_t AddressBytes = 256 * 4;

bool SamePatterns(const std::vector<AddressPattern>& a, const std::vector<AddressPattern>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const AddressPattern& x, const AddressPattern& y) {
        return x.Description == y.Description && x.Addresses == y.Addresses;
    });
}

bool SameLoad(const PatternLoad& a, const PatternLoad& b)
{
    return a.WrongMagic == b.WrongMagic && SamePatterns(a.Patterns, b.Patterns);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes bytes(data, data + size);
    const PatternLoad load = ReadPatternFile(bytes);
    const PatternLoad fromFile = LoadPatternFile(WriteTempFile("input.eap", bytes));
    CHECK(SameLoad(load, fromFile));
    CHECK(!load.Error && fromFile.Error.has_value() == load.WrongMagic);

    const bool magic = size >= 3 && data[0] == 'B' && data[1] == 'X' && data[2] == 'A';
    CHECK(load.WrongMagic != magic);
    if (!magic) {
        CHECK(load.Patterns.empty());
        return 0;
    }
    CHECK(load.Patterns.size() <= static_cast<std::size_t>(MaxPatternCount));

    // Each record is read where the previous one ended.
    Bytes expected(bytes.begin(), bytes.begin() + 3);
    std::size_t position = 3;
    for (const AddressPattern& pattern : load.Patterns) {
        const std::size_t length = pattern.Description.size();
        CHECK(position + length + 1 + AddressBytes <= size);
        CHECK(pattern.Description == std::string(data + position, data + position + length));
        CHECK(data[position + length] == 0);
        expected.insert(expected.end(), data + position, data + position + length + 1);
        const std::uint8_t* field = data + position + length + 1;
        for (const std::int32_t address : pattern.Addresses) {
            const bool empty = field[3] >= 0x80;
            const std::uint32_t stored = field[0] | field[1] << 8 | field[2] << 16 | std::uint32_t{field[3]} << 24;
            CHECK(address == (empty ? EmptySlot : static_cast<std::int32_t>(stored)));
            for (int i = 0; i < 4; ++i)
                expected.push_back(empty ? 0xFF : field[i]);
            field += 4;
        }
        position += length + 1 + AddressBytes;
    }
    if (load.Patterns.size() < static_cast<std::size_t>(MaxPatternCount)) {
        const auto terminator = std::find(bytes.begin() + static_cast<std::ptrdiff_t>(position), bytes.end(), 0);
        CHECK(terminator == bytes.end() || static_cast<std::size_t>(bytes.end() - terminator - 1) < AddressBytes);
    }

    static const auto list = std::make_unique<PatternList>();
    StoreLoadedPatterns(*list, load);
    CHECK(list->PatternCount == static_cast<std::int16_t>(load.Patterns.size()));
    CHECK(BuildPatternFile(*list) == expected);
    const std::string saved = TempPath("saved.eap");
    CHECK(!SavePatternFile(saved, *list));
    CHECK(FileContents(saved) == expected);
    CHECK(SameLoad(LoadPatternFile(saved), load));
    return 0;
}
