#include "model/codec/stream_search.h"

#include "model/codec/stream_codecs.h"

#include <algorithm>

SearchResult SearchInStreams(const SearchSource& source, const std::vector<QueryTile>& query,
                             const std::vector<GraphicsMode>& modes, const SearchOptions& options,
                             const std::atomic<bool>& cancel, const SearchProgress& progress)
{
    const auto report = [&](double fraction) {
        if (progress)
            progress(fraction);
    };
    const StreamScanResult scan =
        ScanForStreams(source, StreamCodecs(), StreamScanOptions{}, cancel, [&](double f) { report(f / 2); });
    SearchResult all;
    all.Cancelled = scan.Cancelled;
    for (std::size_t i = 0; i < scan.Streams.size() && !all.Cancelled; ++i) {
        const FoundStream& stream = scan.Streams[i];
        UnpackResult unpacked = UnpackStreamAt(source, *stream.Codec, stream.Address, DefaultUnpackLimit);
        if (!unpacked)
            continue;
        const MemorySource bytes(std::move(unpacked.Bytes));
        SearchResult inside = SearchGraphics(bytes, query, modes, options, cancel);
        all.Cancelled = inside.Cancelled;
        all.Truncated = all.Truncated || inside.Truncated;
        all.SkippedUniform = inside.SkippedUniform;
        all.TooManyTiles = inside.TooManyTiles;
        all.DifferentTiles = inside.DifferentTiles;
        const int codec = StreamCodecIndex(stream.Codec->ShortName);
        for (GraphicsMatch& match : inside.Matches) {
            match.StreamAddress = static_cast<std::int32_t>(stream.Address);
            match.StreamCodec = codec;
            all.Matches.push_back(match);
        }
        report(0.5 + 0.5 * static_cast<double>(i + 1) / static_cast<double>(scan.Streams.size()));
        // A query refused as a whole is refused in every stream alike.
        if (inside.TooManyTiles)
            break;
    }
    return all;
}

void MergeStreamMatches(SearchResult& file, SearchResult streams, const SearchOptions& options)
{
    file.Matches.insert(file.Matches.end(), streams.Matches.begin(), streams.Matches.end());
    std::sort(file.Matches.begin(), file.Matches.end(), BestMatchFirst);
    if (file.Matches.size() > options.MaxResults) {
        file.Matches.resize(options.MaxResults);
        file.Truncated = true;
    }
    file.Truncated = file.Truncated || streams.Truncated;
    file.Cancelled = file.Cancelled || streams.Cancelled;
}
