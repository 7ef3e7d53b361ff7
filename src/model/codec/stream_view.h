#pragma once

#include "model/codec/stream_codec.h"
#include "model/core/editor_cells.h"
#include "model/core/rom_file.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The unpacked bytes of one compressed stream in the ROM, read and written
// as if they were the file. A write changes a copy of the unpacked bytes,
// packs them again and writes the stream in place with one RomFile::WriteAt,
// so the history, the journal and patches see an ordinary ROM write. The
// new stream must fit the room the stream had when it was opened (its
// packed length rounded up to the codec's alignment); nothing is ever moved
// or lengthened, and the room's bytes after a shorter stream stay as they
// were. The unpacked bytes are read again whenever the file was written
// (an undo puts the old stream back).
class StreamView : public TileStore {
public:
    // Unpacks the stream of the codec numbered codecIndex in the list at
    // address; nullptr and the reason when it does not unpack.
    static std::unique_ptr<StreamView> Open(RomFile& file, int codecIndex, std::int64_t address,
                                            const PackOptions& options, std::string& reason);

    std::int32_t Length() const override;
    std::size_t ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t size) const override;
    RomWriteResult WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t size) override;
    // All blocks packed once and written with one write, or none.
    BlocksWritten WriteBlocks(std::span<const ByteBlock> blocks) override;

    const StreamCodec& Codec() const { return codec_; }
    std::int64_t Address() const { return address_; }
    std::size_t Room() const { return room_; }
    TileSourceKey Key() const;
    // "LZ77 at 0x1A2B30, 4096 bytes unpacked".
    std::string Caption() const;
    // Why the stream no longer unpacks after a change of the file; empty
    // while it does. Such a view reads as empty and refuses writes.
    const std::string& Problem() const;

private:
    StreamView(RomFile& file, int codecIndex, std::int64_t address, const PackOptions& options);
    // Unpacks the stream again when the file was written since.
    void Refresh() const;

    RomFile& file_;
    int codecIndex_;
    const StreamCodec& codec_;
    std::int64_t address_;
    PackOptions options_;
    std::size_t room_ = 0;
    mutable std::vector<std::uint8_t> unpacked_;
    mutable std::uint64_t seenWrites_ = 0;
    mutable std::string problem_;
};
