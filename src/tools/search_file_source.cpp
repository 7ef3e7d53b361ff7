#include "tools/search_file_source.h"

#include "core/file_io.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::optional<std::string> OwnFileSource::Open(const std::string& path, std::unique_ptr<OwnFileSource>& source)
{
    std::string reason;
    const int descriptor = OpenRegularFile(path, O_RDONLY, reason);
    if (descriptor < 0)
        return reason;
    struct stat info {};
    if (::fstat(descriptor, &info) != 0) {
        const std::string reason = std::strerror(errno);
        ::close(descriptor);
        return reason;
    }
    source.reset(new OwnFileSource(descriptor, info.st_size));
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
