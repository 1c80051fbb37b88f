#include "app/ProblemList.h"

namespace kestrel {

std::string ProblemList::Message(AppString header) const
{
    std::string message = TextBytes(header) + "\n";
    for (size_t i = 0; i < m_lines.size() && i < ShownLines; ++i)
        message += "\n" + m_lines[i];
    if (m_lines.size() > ShownLines)
        message += "\n" + ToBytes(Text(AppString::AndMore).arg(m_lines.size() - ShownLines));
    return message;
}

} // namespace kestrel
