#include "model/codec/shown_stream.h"

std::optional<std::string> ShowStream(ProgramState& state, int codecIndex, std::int64_t address,
                                      const PackOptions& options)
{
    std::string reason;
    std::unique_ptr<StreamView> view = StreamView::Open(state.FileHandle, codecIndex, address, options, reason);
    if (!view)
        return reason;
    state.ShownSource = view->Key();
    state.ShownStream = std::move(view);
    state.BrowserAddress = 0;
    state.BrowserDiv = 0;
    return std::nullopt;
}

void ShowFile(ProgramState& state)
{
    const StreamView* view = ShownStreamView(state);
    if (!view)
        return;
    state.BrowserAddress = static_cast<std::int32_t>(view->Address());
    state.BrowserDiv = 0;
    state.ShownStream.reset();
    state.ShownSource = {};
}

const StreamView* ShownStreamView(const Document& document)
{
    return dynamic_cast<const StreamView*>(document.ShownStream.get());
}

std::unique_ptr<SearchSource> ShownTilesSource(const Document& document, std::unique_ptr<SearchSource> file)
{
    const StreamView* view = ShownStreamView(document);
    if (!view)
        return file;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(view->Length()));
    bytes.resize(view->ReadAt(0, bytes.data(), bytes.size()));
    return std::make_unique<MemorySource>(std::move(bytes));
}

std::string ShownStreamCaption(const Document& document)
{
    const StreamView* view = ShownStreamView(document);
    return view ? view->Caption() : std::string();
}
