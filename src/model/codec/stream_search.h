#pragma once

#include "model/codec/stream_scan.h"
#include "model/tools/graphics_search.h"

#include <atomic>
#include <vector>

// Find graphics inside compressed streams: the streams the scan finds are
// unpacked one by one and searched like a file of their own. Each match
// names its stream (GraphicsMatch::StreamAddress, StreamCodec) and the
// offset in the stream's unpacked bytes. The streams take the second half
// of the progress, the scan the first.
SearchResult SearchInStreams(const SearchSource& source, const std::vector<QueryTile>& query,
                             const std::vector<GraphicsMode>& modes, const SearchOptions& options,
                             const std::atomic<bool>& cancel, const SearchProgress& progress = {});

// The matches of the file and of its streams in one list, best first,
// holding at most options.MaxResults.
void MergeStreamMatches(SearchResult& file, SearchResult streams, const SearchOptions& options);
