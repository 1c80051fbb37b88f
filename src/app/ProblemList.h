#pragma once

#include "app/AppStrings.h"

#include <string>
#include <vector>

namespace kestrel {

/// What a command could not do, one line per file or entry, told to the user once at the end
/// rather than in one message box per file.
class ProblemList
{
public:
    /// At most this many lines are shown; the rest are counted.
    static constexpr size_t ShownLines = 20;

    void Add(std::string line) { m_lines.push_back(std::move(line)); }
    bool Empty() const { return m_lines.empty(); }
    size_t Count() const { return m_lines.size(); }
    const std::vector<std::string>& Lines() const { return m_lines; }
    /// The header followed by the lines (Latin-1 bytes for the prompt).
    std::string Message(AppString header) const;

private:
    std::vector<std::string> m_lines;
};

} // namespace kestrel
