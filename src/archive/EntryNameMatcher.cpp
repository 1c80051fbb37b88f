#include "archive/EntryNameMatcher.h"

#include "base/AsciiCase.h"

#include <algorithm>

namespace kestrel {
namespace {

char Folded(char c)
{
    return c == '/' ? '\\' : AsciiToLower(c);
}

} // namespace

EntryNameMatcher::EntryNameMatcher(std::string_view text)
{
    if (text.find_first_of("*?[") != std::string_view::npos) {
        m_glob.emplace(text, EntryGlob::Start::AnyFolderPart);
        return;
    }
    m_needle.resize(text.size());
    std::transform(text.begin(), text.end(), m_needle.begin(), Folded);
}

bool EntryNameMatcher::Matches(std::string_view name) const
{
    if (m_glob)
        return m_glob->Matches(name);
    if (m_needle.size() > name.size())
        return false;
    const auto found = std::search(name.begin(), name.end(), m_needle.begin(), m_needle.end(),
                                   [](char fromName, char fromNeedle) { return Folded(fromName) == fromNeedle; });
    return found != name.end() || m_needle.empty();
}

} // namespace kestrel
