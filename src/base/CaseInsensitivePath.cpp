#include "base/CaseInsensitivePath.h"

#include "base/AsciiCase.h"

#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace kestrel {
#ifndef _WIN32
namespace {

std::vector<std::string> SplitComponents(std::string_view path)
{
    std::vector<std::string> components;
    std::string current;
    for (const char c : path) {
        if (c == '/' || c == '\\') {
            if (!current.empty())
                components.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty())
        components.push_back(std::move(current));
    return components;
}

/// The entry of `folder` named `name` regardless of A-Z case; of several, the smallest name so
/// that the answer does not depend on the directory's order.
std::optional<std::string> FindIgnoringCase(const std::filesystem::path& folder, const std::string& name)
{
    std::error_code error;
    std::filesystem::directory_iterator it(folder.empty() ? std::filesystem::path(".") : folder, error);
    std::optional<std::string> best;
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::string candidate = it->path().filename().string();
        if (EqualsIgnoringAsciiCase(candidate, name) && (!best || candidate < *best))
            best = std::move(candidate);
    }
    return best;
}

} // namespace
#endif

std::filesystem::path ResolvePathIgnoringCase(std::string_view path)
{
#ifdef _WIN32
    return std::filesystem::path(std::string(path));
#else
    const bool absolute = !path.empty() && (path.front() == '/' || path.front() == '\\');
    std::filesystem::path resolved = absolute ? std::filesystem::path("/") : std::filesystem::path();
    bool searching = true;
    for (const auto& component : SplitComponents(path)) {
        std::error_code error;
        if (searching && component != "." && component != ".."
            && !std::filesystem::exists(std::filesystem::symlink_status(resolved / component, error))) {
            const auto onDisk = FindIgnoringCase(resolved, component);
            searching = onDisk.has_value();
            resolved /= onDisk.value_or(component);
        } else {
            resolved /= component;
        }
    }
    return resolved;
#endif
}

} // namespace kestrel
