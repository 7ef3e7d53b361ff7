#include "core/file_filter.h"

namespace {

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const auto end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

}  // namespace

std::vector<FileFilterEntry> ParseFileFilter(std::string_view filter)
{
    std::vector<FileFilterEntry> entries;
    if (filter.empty())
        return entries;
    const auto fields = Split(filter, '|');
    for (std::size_t i = 0; i < fields.size(); i += 2) {
        FileFilterEntry entry{std::string(fields[i]), {}};
        if (i + 1 < fields.size())
            for (auto pattern : Split(fields[i + 1], ';'))
                if (auto trimmed = Trim(pattern); !trimmed.empty())
                    entry.Patterns.emplace_back(trimmed);
        entries.push_back(std::move(entry));
    }
    return entries;
}
