#pragma once

#include "model/core/original_bytes.h"
#include "model/core/rom_file.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

// One write into the ROM as it happened: the bytes it replaced and the
// bytes it wrote there.
struct RomWrite {
    std::int64_t Offset = 0;
    std::vector<std::uint8_t> Before;
    std::vector<std::uint8_t> After;
};

// The stretches the writes replaced.
std::vector<ByteRange> RangesOf(const std::vector<RomWrite>& writes);

// Listens to a RomFile's writes: keeps the original value of every byte
// changed since the file was opened, and hands each write on to its write
// handler (the recorder, which groups them into steps).
class RomJournal {
public:
    // Becomes file's write listener until the journal goes.
    explicit RomJournal(RomFile& file);
    ~RomJournal();
    RomJournal(const RomJournal&) = delete;
    RomJournal& operator=(const RomJournal&) = delete;

    using WriteHandler = std::function<void(RomWrite write)>;
    // Gets every write the file tells, after its bytes were recorded.
    void SetWriteHandler(WriteHandler handler);

    // The value at the open of every byte written since then.
    const OriginalByteMap& OriginalBytes() const { return originals_; }

    // For an action that makes its writes itself, without telling the file:
    // the bytes a write will replace, recorded before it is made. A byte not
    // written since the open still has its value at the open, so this holds
    // even when the write is then called off.
    void RecordOriginals(std::int64_t offset, std::span<const std::uint8_t> before)
    {
        originals_.Record(offset, before);
    }

    // A file was opened or closed: forgets the original bytes.
    void Reset() { originals_.Clear(); }

private:
    void Record(std::int64_t offset, std::span<const std::uint8_t> before, std::span<const std::uint8_t> after);

    RomFile& file_;
    WriteHandler handler_;
    OriginalByteMap originals_;
};
