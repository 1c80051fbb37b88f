#pragma once

#include <string>

namespace kestrel {

/// The core's only way to talk to the user: a message with an OK button, or a Yes/No question.
/// Texts and captions are byte strings (Latin-1) exactly as the user must see them. The windowed
/// program answers with message boxes, the command-line tool on the terminal, tests from a script.
class IPrompt
{
public:
    virtual ~IPrompt() = default;

    virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
    /// A message that reports no problem (what a setting will do, what finished work did).
    virtual void ShowNotice(const std::string& text, const std::string& caption) { ShowMessage(text, caption); }
    /// Returns true for Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
};

} // namespace kestrel
