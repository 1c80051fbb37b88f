#include "archive/EntryPaths.h"

#include <vector>

namespace kestrel {
namespace {

namespace fs = std::filesystem;

/// Absolute and normalised, without a trailing separator ("data/" and "data" are one folder).
fs::path CleanAbsolute(const fs::path& path)
{
    fs::path clean = fs::absolute(path).lexically_normal();
    if (!clean.has_filename() && clean.has_relative_path())
        clean = clean.parent_path();
    return clean;
}

std::string JoinWithBackslashes(const fs::path& relative)
{
    std::string name;
    for (const auto& part : relative) {
        if (part.empty() || part == ".")
            continue;
        if (!name.empty())
            name += '\\';
        name += part.string();
    }
    return name;
}

bool IsDriveLetter(std::string_view part)
{
    return part.size() >= 2 && part[1] == ':' &&
           ((part[0] >= 'A' && part[0] <= 'Z') || (part[0] >= 'a' && part[0] <= 'z'));
}

std::vector<std::string_view> SplitEntryName(std::string_view name)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= name.size(); ++i) {
        if (i == name.size() || name[i] == '\\' || name[i] == '/') {
            parts.push_back(name.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

std::optional<fs::path> Refuse(std::string* reason, const char* why)
{
    if (reason)
        *reason = why;
    return std::nullopt;
}

} // namespace

fs::path EntryNameBaseOfFolder(const fs::path& folder)
{
    return CleanAbsolute(folder).parent_path();
}

std::optional<std::string> EntryNameRelativeTo(const fs::path& file, const fs::path& base)
{
    const fs::path relative = CleanAbsolute(file).lexically_relative(CleanAbsolute(base));
    if (relative.empty() || *relative.begin() == "..")
        return std::nullopt;
    std::string name = JoinWithBackslashes(relative);
    if (name.empty())
        return std::nullopt;
    return name;
}

std::string ProposedEntryNameForFile(const fs::path& file)
{
    return JoinWithBackslashes(CleanAbsolute(file).relative_path());
}

std::string EntryNameWithBackslashes(std::string_view name)
{
    std::string result(name);
    for (char& c : result) {
        if (c == '/')
            c = '\\';
    }
    return result;
}

std::optional<fs::path> ExtractionPath(const fs::path& folder, std::string_view entryName, std::string* reason)
{
    if (entryName.empty())
        return Refuse(reason, "its name is empty");
    const auto parts = SplitEntryName(entryName);
    if (parts.front().empty() && parts.size() > 1)
        return Refuse(reason, "it is an absolute path");
    if (IsDriveLetter(parts.front()))
        return Refuse(reason, "it starts with a drive letter");
    if (parts.back().empty() || parts.back() == "." || parts.back() == "..")
        return Refuse(reason, "it names a folder, not a file");
    fs::path target = folder;
    for (const auto part : parts) {
        if (part == "..")
            return Refuse(reason, "it contains a \"..\" part that leads out of the folder");
#ifdef _WIN32
        // A colon inside a part names an alternate data stream or a device on Windows.
        if (part.find(':') != std::string_view::npos)
            return Refuse(reason, "it contains a colon");
#endif
        if (part.empty() || part == ".")
            continue;
        target /= fs::path(std::string(part));
    }
    return target;
}

} // namespace kestrel
