#pragma once

#include "model/codec/stream_codec.h"
#include "model/codec/stream_view.h"
#include "model/core/program_state.h"
#include "model/tools/graphics_search.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// Which bytes the browser shows: the file, or the unpacked bytes of one
// compressed stream in it. Tiles are read, written, searched and exported
// from what is shown; cells keep the source their address counts in.

// Unpacks the stream and shows it in place of the file (or of the stream
// shown before); the browser starts at its first byte. The reason, and
// nothing changed, when it does not unpack.
std::optional<std::string> ShowStream(ProgramState& state, int codecIndex, std::int64_t address,
                                      const PackOptions& options = {});

// Shows the file again, at the address of the stream that was shown.
void ShowFile(ProgramState& state);

// The stream shown, or nullptr while the file is.
const StreamView* ShownStreamView(const Document& document);

// What a search on another thread reads for the bytes shown: the file's
// own source, or a copy of the shown stream's unpacked bytes.
std::unique_ptr<SearchSource> ShownTilesSource(const Document& document, std::unique_ptr<SearchSource> file);

// "LZ77 at 0x1A2B30, 4096 bytes unpacked" while a stream is shown; empty
// while the file is.
std::string ShownStreamCaption(const Document& document);
