#pragma once

#include "model/core/original_bytes.h"
#include "model/core/rom_file.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
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

// The writes of one user action, in the order they were made.
struct RomStep {
    std::string Name;
    std::vector<RomWrite> Writes;
};

// Listens to a RomFile and records its writes: grouped into one step per
// user action, and as the original value of every byte changed since the
// file was opened. A write made while no step is open is a step of its own
// and goes straight to the lone step handler.
class RomJournal {
public:
    // Becomes file's write listener until the journal goes.
    explicit RomJournal(RomFile& file);
    ~RomJournal();
    RomJournal(const RomJournal&) = delete;
    RomJournal& operator=(const RomJournal&) = delete;

    using StepHandler = std::function<void(RomStep step)>;
    // Gets every step of one write made outside an open step.
    void SetLoneStepHandler(StepHandler handler);
    // The name given to such a step.
    static constexpr const char* LoneWriteName = "file write";

    // Starts collecting writes into a step called name. Steps do not nest:
    // a step begun while another is open joins it and keeps the outer name.
    void BeginStep(std::string name);
    // Renames the open step, for names that depend on what was done
    // ("save of 12 tiles").
    void RenameStep(std::string name);
    // Writes collected so far in the open step.
    std::size_t OpenStepWrites() const { return open_.Writes.size(); }
    bool StepOpen() const { return depth_ > 0; }
    // Closes the innermost BeginStep; the outermost returns the step (its
    // Writes may be empty). Inner ones return an empty step.
    RomStep EndStep();

    // The value at the open of every byte written since then.
    const OriginalByteMap& OriginalBytes() const { return originals_; }

    // For an action that makes its writes itself, without telling the file,
    // so that it can prepare everything before its first write and take
    // back a write that fails halfway. Before writing: RecordOriginals with
    // the bytes each write will replace (a byte not written since the open
    // still has its value at the open, so this holds even when the writes
    // are then called off) and ReserveWrites for their number. After all
    // went through: AddWrites, which then cannot fail.
    void RecordOriginals(std::int64_t offset, std::span<const std::uint8_t> before)
    {
        originals_.Record(offset, before);
    }
    void ReserveWrites(std::size_t count);
    // The writes join the open step; with none open they are a step of
    // their own.
    void AddWrites(std::vector<RomWrite> writes);

    // A file was opened or closed: forgets the original bytes and any open
    // step.
    void Reset();

private:
    void Record(std::int64_t offset, std::span<const std::uint8_t> before, std::span<const std::uint8_t> after);

    RomFile& file_;
    StepHandler loneHandler_;
    int depth_ = 0;
    RomStep open_;
    OriginalByteMap originals_;
};
