#pragma once

#include "tools/graphics_search.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// A file read for a search through a descriptor of its own, so the search
// may go on in another thread while the program closes or replaces the
// file it has open.
class OwnFileSource : public SearchSource {
public:
    // Opens path for reading; the reason when it cannot.
    static std::optional<std::string> Open(const std::string& path, std::unique_ptr<OwnFileSource>& source);
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
