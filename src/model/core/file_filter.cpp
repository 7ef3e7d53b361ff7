#include "model/core/file_filter.h"

#include <cctype>

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

bool SameLetter(char a, char b)
{
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

bool NameMatches(std::string_view pattern, std::string_view name)
{
    if (pattern.empty())
        return name.empty();
    if (pattern[0] == '*')
        return NameMatches(pattern.substr(1), name) || (!name.empty() && NameMatches(pattern, name.substr(1)));
    if (name.empty() || (pattern[0] != '?' && !SameLetter(pattern[0], name[0])))
        return false;
    return NameMatches(pattern.substr(1), name.substr(1));
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

std::string DefaultExtension(const FileFilterEntry& entry)
{
    for (const std::string& pattern : entry.Patterns) {
        if (pattern.size() < 3 || pattern.compare(0, 2, "*.") != 0)
            continue;
        const std::string_view extension = std::string_view(pattern).substr(2);
        if (extension.front() != '.' && extension.find_first_of("*?[] ") == std::string_view::npos)
            return "." + std::string(extension);
    }
    return {};
}

std::string WithDefaultExtension(std::string_view path, const FileFilterEntry& entry)
{
    const auto separator = path.find_last_of("/\\");
    const std::string_view name = separator == std::string_view::npos ? path : path.substr(separator + 1);
    // A leading dot marks a hidden name, not an extension.
    if (name.empty() || name.find('.', 1) != std::string_view::npos)
        return std::string(path);
    return std::string(path) + DefaultExtension(entry);
}

bool PathMatchesPatterns(std::string_view patterns, std::string_view path)
{
    const auto separator = path.find_last_of("/\\");
    const std::string_view name = separator == std::string_view::npos ? path : path.substr(separator + 1);
    for (const std::string_view pattern : Split(patterns, ';'))
        if (const std::string_view trimmed = Trim(pattern); !trimmed.empty() && NameMatches(trimmed, name))
            return true;
    return false;
}
