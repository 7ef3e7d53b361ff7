#include "model/core/tile_store.h"

BlocksWritten TileStore::WriteBlocks(std::span<const ByteBlock> blocks)
{
    BlocksWritten done;
    for (const ByteBlock& block : blocks) {
        done.Result = WriteAt(block.Offset, block.Bytes.data(), block.Bytes.size());
        if (!done.Result)
            break;
        ++done.Count;
    }
    return done;
}
