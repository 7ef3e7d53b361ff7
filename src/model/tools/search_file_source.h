#pragma once

#include "model/tools/graphics_search.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// The open ROM read for a search through a descriptor of its own, so the
// search may go on in another thread while the program closes the file or
// opens another.
class OwnFileSource : public SearchSource {
public:
    // Takes a second descriptor of the open file; the reason when it cannot.
    static std::optional<std::string> Open(const RomFile& file, std::unique_ptr<OwnFileSource>& source);
    ~OwnFileSource() override;
    OwnFileSource(const OwnFileSource&) = delete;
    OwnFileSource& operator=(const OwnFileSource&) = delete;

    std::int64_t Length() const override { return length_; }
    std::size_t ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t size) const override;

private:
    OwnFileSource(int descriptor, std::int64_t length) : descriptor_(descriptor), length_(length) {}

    int descriptor_;
    std::int64_t length_;
};
