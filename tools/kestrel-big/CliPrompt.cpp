#include "CliPrompt.h"

#include "ToolContext.h"

namespace kestrel::cli {

void CliPrompt::SetArchive(std::string shownName, std::string path)
{
    m_shownName = std::move(shownName);
    m_path = std::move(path);
}

std::string CliPrompt::Subject(const std::string& caption, const std::string& text, std::string& shownText) const
{
    if (m_shownName.empty() || caption == m_shownName || caption == m_path) {
        shownText = text;
        return m_shownName.empty() ? caption : m_shownName;
    }
    shownText = caption + ": " + text;
    return m_shownName;
}

void CliPrompt::ShowMessage(const std::string& text, const std::string& caption)
{
    if (m_readingOnly && text.starts_with("Opened BIG file in Read-Only mode"))
        return;
    std::string shownText;
    const std::string subject = Subject(caption, text, shownText);
    m_context.Report(subject, shownText);
}

bool CliPrompt::AskYesNo(const std::string& text, const std::string& caption)
{
    if (m_changing && !m_context.force) {
        m_declined = true;
        return false;
    }
    const bool yes = !m_context.strict;
    std::string shownText;
    const std::string subject = Subject(caption, text, shownText);
    m_context.Report(subject, shownText + (yes ? " [answered Yes; --strict answers No]" : " [answered No: --strict]"));
    m_declined = m_declined || !yes;
    return yes;
}

} // namespace kestrel::cli
