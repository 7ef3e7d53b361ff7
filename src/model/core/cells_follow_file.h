#pragma once

#include "model/core/document.h"
#include "model/core/rom_journal.h"

#include <cstdint>
#include <vector>

// The one rule that keeps the editor in step with the file after ROM bytes
// changed (a revert, a patch, an undo or redo, a drop, a checksum repair, a
// save): a bound cell without unsaved edits whose tile lies over a changed
// byte is read again in its own mode, so its pixels equal the file's; a cell
// with unsaved edits keeps its pixels and its unsaved mark, so nothing
// painted is lost and Save all still writes it. Returns the cells whose
// pixels changed.
std::vector<int> FollowFile(Document& document, std::vector<ByteRange> changed);
