#include "model/codec/stream_view.h"

#include "model/codec/stream_codecs.h"
#include "model/codec/stream_scan.h"
#include "model/core/number_text.h"

#include <algorithm>
#include <cstring>

StreamView::StreamView(RomFile& file, int codecIndex, std::int64_t address, const PackOptions& options)
    : file_(file), codecIndex_(codecIndex), codec_(*StreamCodecs()[static_cast<std::size_t>(codecIndex)]),
      address_(address), options_(options)
{
}

std::unique_ptr<StreamView> StreamView::Open(RomFile& file, int codecIndex, std::int64_t address,
                                             const PackOptions& options, std::string& reason)
{
    if (codecIndex < 0 || static_cast<std::size_t>(codecIndex) >= StreamCodecs().size()) {
        reason = "There is no codec number " + std::to_string(codecIndex) + ".";
        return nullptr;
    }
    std::unique_ptr<StreamView> view(new StreamView(file, codecIndex, address, options));
    UnpackResult unpacked = UnpackStreamAt(RomFileSource(file), view->codec_, address, DefaultUnpackLimit);
    if (!unpacked) {
        reason = "The " + std::string(view->codec_.Name) + " stream at " + HexText(address) +
                 " could not be unpacked: " + unpacked.Reason + ".";
        return nullptr;
    }
    // Streams are not kept in the browser's 32-bit addresses beyond 2 GiB.
    if (unpacked.Bytes.size() > static_cast<std::size_t>(INT32_MAX)) {
        reason = "The stream at " + HexText(address) + " is too large to show.";
        return nullptr;
    }
    const auto alignment = static_cast<std::size_t>(view->codec_.Alignment);
    const std::size_t aligned = (unpacked.PackedLength + alignment - 1) / alignment * alignment;
    view->room_ = std::min<std::size_t>(aligned, static_cast<std::size_t>(file.Length() - address));
    view->unpacked_ = std::move(unpacked.Bytes);
    view->seenWrites_ = file.WriteCount();
    return view;
}

TileSourceKey StreamView::Key() const
{
    return {static_cast<std::int32_t>(address_), static_cast<std::uint8_t>(codecIndex_)};
}

std::string StreamView::Caption() const
{
    Refresh();
    return std::string(codec_.Name) + " at " + HexText(address_) + ", " + std::to_string(unpacked_.size()) +
           " bytes unpacked";
}

const std::string& StreamView::Problem() const
{
    Refresh();
    return problem_;
}

void StreamView::Refresh() const
{
    if (seenWrites_ == file_.WriteCount())
        return;
    seenWrites_ = file_.WriteCount();
    UnpackResult unpacked = UnpackStreamAt(RomFileSource(file_), codec_, address_, DefaultUnpackLimit);
    if (unpacked && unpacked.Bytes.size() <= static_cast<std::size_t>(INT32_MAX)) {
        unpacked_ = std::move(unpacked.Bytes);
        problem_.clear();
    } else {
        unpacked_.clear();
        problem_ = "The " + std::string(codec_.Name) + " stream at " + HexText(address_) +
                   " no longer unpacks: " + (unpacked ? "it is too large" : unpacked.Reason) + ".";
    }
}

std::int32_t StreamView::Length() const
{
    Refresh();
    return static_cast<std::int32_t>(unpacked_.size());
}

std::size_t StreamView::ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t size) const
{
    Refresh();
    if (offset < 0 || offset >= static_cast<std::int64_t>(unpacked_.size()))
        return 0;
    const std::size_t count = std::min(size, unpacked_.size() - static_cast<std::size_t>(offset));
    std::memcpy(buffer, unpacked_.data() + offset, count);
    return count;
}

RomWriteResult StreamView::WriteAt(std::int64_t offset, const std::uint8_t* data, std::size_t size)
{
    const ByteBlock block{offset, std::vector<std::uint8_t>(data, data + size)};
    return WriteBlocks({&block, 1}).Result;
}

BlocksWritten StreamView::WriteBlocks(std::span<const ByteBlock> blocks)
{
    Refresh();
    if (!problem_.empty())
        return {0, {RomWriteStatus::Failed, problem_ + " Nothing was written."}};
    std::vector<std::uint8_t> changed = unpacked_;
    for (const ByteBlock& block : blocks) {
        if (block.Offset < 0 ||
            block.Offset + static_cast<std::int64_t>(block.Bytes.size()) > static_cast<std::int64_t>(changed.size()))
            return {0,
                    {RomWriteStatus::OutsideFile, "The " + std::to_string(block.Bytes.size()) + " bytes at address " +
                                                      std::to_string(block.Offset) +
                                                      " lie outside the unpacked stream; nothing was written."}};
        std::copy(block.Bytes.begin(), block.Bytes.end(), changed.begin() + block.Offset);
    }
    const auto count = static_cast<int>(blocks.size());
    if (changed == unpacked_) {
        // Nothing to pack: the stream already holds these bytes. The file
        // must still take a write, as it would for a change.
        RomWriteResult same =
            file_.IsWritable()
                ? file_.CheckStillTheSameFile(address_, room_)
                : RomWriteResult{RomWriteStatus::NotWritable,
                                 "The file '" + file_.Path() + "' is open for reading only; nothing was written."};
        return {same ? count : 0, same};
    }
    const PackResult packed = codec_.Pack(changed, options_);
    if (!packed)
        return {0,
                {RomWriteStatus::Failed, "The " + std::string(codec_.Name) + " stream at " + HexText(address_) +
                                             " could not be packed: " + packed.Error + "; nothing was written."}};
    if (packed.Bytes.size() > room_)
        return {0,
                {RomWriteStatus::NoRoom, "The packed " + std::string(codec_.Name) + " stream at " + HexText(address_) +
                                             " would take " + std::to_string(packed.Bytes.size()) +
                                             " bytes, but its room holds " + std::to_string(room_) +
                                             " bytes; nothing was written."}};
    RomWriteResult written = file_.WriteAt(address_, packed.Bytes.data(), packed.Bytes.size());
    if (!written)
        return {0, written};
    unpacked_ = std::move(changed);
    seenWrites_ = file_.WriteCount();
    return {count, written};
}
