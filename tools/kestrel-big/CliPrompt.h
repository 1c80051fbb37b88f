#pragma once

#include "base/IPrompt.h"

#include <string>

namespace kestrel::cli {

struct ToolContext;

/// The archive core's messages on a terminal: every message goes to standard error. Nobody is
/// there to answer questions, so the one question of the core (open an archive with an unknown
/// magic?) is answered Yes, or No with --strict; the answer is printed with the question. A
/// command about to change the archive answers No unless --force: a file that is not a BIG
/// archive must not be turned into one by swapped arguments.
class CliPrompt : public IPrompt
{
public:
    explicit CliPrompt(const ToolContext& context) : m_context(context) {}

    void ShowMessage(const std::string& text, const std::string& caption) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;

    /// Commands that only read leave a read-only archive alone, so the core's advice to remove
    /// the write protection would only be noise there.
    void SetReadingOnly(bool readingOnly) { m_readingOnly = readingOnly; }
    /// Unknown magics are answered No (reported by the command, not here) unless `force`.
    void SetChanging(bool changing) { m_changing = changing; }
    /// The archive the core is working on, named in every message as the user gave it; captions
    /// that are its path are replaced by that name.
    void SetArchive(std::string shownName, std::string path);
    bool DeclinedAQuestion() const { return m_declined; }

private:
    const ToolContext& m_context;
    std::string Subject(const std::string& caption, const std::string& text, std::string& shownText) const;

    bool m_readingOnly = false;
    bool m_changing = false;
    std::string m_shownName;
    std::string m_path;
    bool m_declined = false;
};

} // namespace kestrel::cli
