// The stream scan with every codec at every address of a fuzzed ROM.
//
// Checks: every stream listed unpacks at its address to the sizes listed,
// at least the smallest size asked for, and the list is best first.

#include "fuzz_support.h"
#include "model/codec/stream_codecs.h"
#include "model/codec/stream_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const MemorySource source(std::vector<std::uint8_t>(data, data + size));
    StreamScanOptions options;
    options.EveryAddress = true;
    options.MinUnpackedSize = 1;
    options.Threads = 1;
    const std::atomic<bool> never{false};
    const StreamScanResult result = ScanForStreams(source, StreamCodecs(), options, never);
    CHECK(!result.Cancelled);
    for (std::size_t i = 0; i < result.Streams.size(); ++i) {
        const FoundStream& found = result.Streams[i];
        const UnpackResult again = UnpackStreamAt(source, *found.Codec, found.Address, options.MaxUnpackedSize);
        CHECK(again);
        CHECK(again.PackedLength == found.PackedLength);
        CHECK(again.Bytes.size() == found.UnpackedLength);
        CHECK(found.UnpackedLength >= options.MinUnpackedSize);
        if (i > 0) {
            const FoundStream& before = result.Streams[i - 1];
            CHECK(before.UnpackedLength > found.UnpackedLength ||
                  (before.UnpackedLength == found.UnpackedLength && before.Address <= found.Address));
        }
    }
    return 0;
}
