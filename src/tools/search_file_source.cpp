#include "tools/search_file_source.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::optional<std::string> OwnFileSource::Open(const std::string& path, std::unique_ptr<OwnFileSource>& source)
{
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return std::string(std::strerror(errno));
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
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(descriptor_, buffer + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}
