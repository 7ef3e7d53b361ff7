#include "model/tools/search_file_source.h"

#include "model/core/file_descriptor.h"
#include "model/core/rom_file.h"

#include <cerrno>
#include <unistd.h>

std::optional<std::string> OwnFileSource::Open(const RomFile& file, std::unique_ptr<OwnFileSource>& source)
{
    const int descriptor = file.DuplicateDescriptor();
    if (descriptor < 0)
        return file.IsOpen() ? SystemCause(errno) : std::string("no file is open");
    source.reset(new OwnFileSource(descriptor, file.Length()));
    return std::nullopt;
}

OwnFileSource::~OwnFileSource()
{
    ::close(descriptor_);
}

std::size_t OwnFileSource::ReadAt(std::int64_t offset, std::uint8_t* buffer, std::size_t size) const
{
    return offset < 0 ? 0 : ReadFullyAt(descriptor_, offset, buffer, size);
}
