#include "w3d/WineRegistry.h"

#include "base/AsciiCase.h"
#include "base/CaseInsensitivePath.h"
#include "base/File.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>
#include <system_error>

namespace kestrel {
namespace {

void AppendUtf8(std::string& out, unsigned codePoint)
{
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    const char lower = AsciiToLower(c);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

/// Reads text written with Wine's escapes up to the unescaped `close` character; `pos` is left
/// behind it. Nullopt when the text ends first.
std::optional<std::string> ReadEscaped(std::string_view line, size_t& pos, char close)
{
    std::string out;
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == close)
            return out;
        if (c != '\\' || pos == line.size()) {
            out.push_back(c);
            continue;
        }
        const char escaped = line[pos++];
        if (escaped == 'x') {
            unsigned codePoint = 0;
            for (int digits = 0; digits < 4 && pos < line.size() && HexDigit(line[pos]) >= 0; ++digits)
                codePoint = codePoint * 16 + static_cast<unsigned>(HexDigit(line[pos++]));
            AppendUtf8(out, codePoint);
        } else {
            const std::string_view from = "nrt0a", to{"\n\r\t\0\a", 5};
            const size_t special = from.find(escaped);
            out.push_back(special == std::string_view::npos ? escaped : to[special]);
        }
    }
    return std::nullopt;
}

/// The value of a `"name"="text"` (or `str(2):"text"`) line when its name is `valueName`.
std::optional<std::string> StringValueOfLine(std::string_view line, std::string_view valueName)
{
    size_t pos = 1;
    const auto name = ReadEscaped(line, pos, '"');
    if (!name || !EqualsIgnoringAsciiCase(*name, valueName) || pos >= line.size() || line[pos] != '=')
        return std::nullopt;
    std::string_view rest = line.substr(pos + 1);
    for (const std::string_view prefix : {"str(2):", "str(7):"}) {
        if (rest.substr(0, prefix.size()) == prefix)
            rest.remove_prefix(prefix.size());
    }
    if (rest.empty() || rest.front() != '"')
        return std::nullopt;
    size_t valuePos = 1;
    return ReadEscaped(rest, valuePos, '"');
}

void AddSteamLibraries(const std::filesystem::path& steamRoot, std::vector<std::filesystem::path>& libraries)
{
    libraries.push_back(steamRoot);
    std::string vdf;
    if (!ReadWholeFile(steamRoot / "steamapps" / "libraryfolders.vdf", vdf))
        return;
    std::istringstream lines(vdf);
    for (std::string line; std::getline(lines, line);) {
        size_t pos = line.find('"');
        const auto key = pos == std::string::npos ? std::nullopt : ReadEscaped(line, ++pos, '"');
        if (!key || *key != "path")
            continue;
        pos = line.find('"', pos);
        if (const auto value = pos == std::string::npos ? std::nullopt : ReadEscaped(line, ++pos, '"'))
            libraries.emplace_back(*value);
    }
}

void AddProtonPrefixes(const std::filesystem::path& library, std::vector<std::filesystem::path>& prefixes)
{
    std::error_code error;
    std::vector<std::filesystem::path> found;
    std::filesystem::directory_iterator it(library / "steamapps" / "compatdata", error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error))
        found.push_back(it->path() / "pfx");
    std::sort(found.begin(), found.end());
    prefixes.insert(prefixes.end(), found.begin(), found.end());
}

} // namespace

std::optional<std::string> ReadWineRegistryString(std::string_view registryText, std::string_view keyPath,
                                                  std::string_view valueName)
{
    bool inKey = false;
    std::istringstream lines{std::string(registryText)};
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        if (line.front() == '[') {
            size_t pos = 1;
            const auto key = ReadEscaped(line, pos, ']');
            inKey = key && EqualsIgnoringAsciiCase(*key, keyPath);
        } else if (inKey && line.front() == '"') {
            if (auto value = StringValueOfLine(line, valueName))
                return value;
        }
    }
    return std::nullopt;
}

std::optional<std::string> MapWindowsPathIntoPrefix(const std::filesystem::path& prefix, std::string_view windowsPath)
{
    if (windowsPath.size() < 2 || windowsPath[1] != ':' || !std::isalpha(static_cast<unsigned char>(windowsPath[0])))
        return std::nullopt;
    const char drive = AsciiToLower(windowsPath[0]);
    std::filesystem::path root = prefix / "dosdevices" / (std::string(1, drive) + ":");
    std::error_code error;
    if (!std::filesystem::exists(root, error)) {
        if (drive != 'c')
            return std::nullopt;
        root = prefix / "drive_c";
    }
    // Through the drive link to the real folder, so it compares equal to paths the user opens.
    const auto resolved = ResolvePathIgnoringCase(root.string() + "/" + std::string(windowsPath.substr(2)));
    std::string mapped = std::filesystem::weakly_canonical(resolved, error).string();
    if (error)
        mapped = resolved.string();
    if (mapped.empty() || mapped.back() != '/')
        mapped.push_back('/');
    return mapped;
}

std::vector<std::filesystem::path> FindWinePrefixes(const char* winePrefixVariable, const char* homeVariable)
{
    std::vector<std::filesystem::path> candidates;
    if (winePrefixVariable && *winePrefixVariable)
        candidates.emplace_back(winePrefixVariable);
    if (homeVariable && *homeVariable) {
        const std::filesystem::path home(homeVariable);
        candidates.push_back(home / ".wine");
        std::vector<std::filesystem::path> libraries;
        for (const auto& steam : {home / ".steam" / "steam", home / ".local" / "share" / "Steam",
                                  home / ".var" / "app" / "com.valvesoftware.Steam" / ".local" / "share" / "Steam"})
            AddSteamLibraries(steam, libraries);
        for (const auto& library : libraries)
            AddProtonPrefixes(library, candidates);
    }
    std::vector<std::filesystem::path> prefixes;
    std::set<std::filesystem::path> seen;
    for (const auto& candidate : candidates) {
        std::error_code error;
        const auto canonical = std::filesystem::weakly_canonical(candidate, error);
        if (std::filesystem::is_regular_file(candidate / "system.reg", error) && seen.insert(canonical).second)
            prefixes.push_back(candidate);
    }
    return prefixes;
}

} // namespace kestrel
