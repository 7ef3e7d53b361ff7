#include "cli/cli_stream.h"

#include "cli/cli.h"
#include "model/codec/stream_codecs.h"
#include "model/core/number_text.h"

std::optional<StreamChoice> StreamOptions(const ParsedArgs& parsed)
{
    if (!parsed.Has("--codec") && !parsed.Has("--stream"))
        return std::nullopt;
    if (!parsed.Has("--codec") || !parsed.Has("--stream"))
        throw UsageError{"--codec and --stream go together: the codec and the file address of the stream"};
    const auto address = ParseAddress(parsed.Required("--stream"));
    if (!address)
        throw UsageError{"--stream must be a file address, decimal or hexadecimal after 0x"};
    return StreamChoice{CodecOption(parsed).ShortName, *address};
}

std::optional<StreamChoice> RecordedStream(const IndexedImage& image)
{
    const std::string* codec = nullptr;
    const std::string* stream = nullptr;
    for (const PngText& text : image.Texts) {
        if (text.Key == RecordCodecKey)
            codec = &text.Value;
        if (text.Key == RecordStreamKey)
            stream = &text.Value;
    }
    if (!codec && !stream)
        return std::nullopt;
    const auto address = stream ? ParseAddress(*stream) : std::nullopt;
    if (!codec || !StreamCodecNamed(*codec) || !address)
        throw CliFailure{"its record of the stream it was decoded from (\"" + std::string(RecordCodecKey) + "\", \"" +
                         std::string(RecordStreamKey) + "\") does not read; nothing was written"};
    return StreamChoice{*codec, *address};
}

std::vector<PngText> StreamRecordTexts(const StreamChoice& stream)
{
    return {{std::string(RecordCodecKey), stream.Codec}, {std::string(RecordStreamKey), HexText(stream.Address)}};
}

std::unique_ptr<StreamView> OpenStreamView(RomFile& rom, const StreamChoice& stream, bool vramSafe)
{
    std::string reason;
    std::unique_ptr<StreamView> view =
        StreamView::Open(rom, StreamCodecIndex(stream.Codec), stream.Address, PackOptions{vramSafe}, reason);
    if (!view)
        throw CliFailure{reason};
    return view;
}
