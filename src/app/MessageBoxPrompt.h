#pragma once

#include "base/IPrompt.h"

#include <functional>

class QWidget;

namespace kestrel {

/// The windowed program's prompt: plain message boxes. Texts and captions arrive as Latin-1
/// bytes and are shown 1:1. The parent is asked for at each message, so that a box opens over
/// whichever window is active then.
class MessageBoxPrompt : public IPrompt
{
public:
    explicit MessageBoxPrompt(std::function<QWidget*()> parent);

    void ShowMessage(const std::string& text, const std::string& caption) override;
    void ShowNotice(const std::string& text, const std::string& caption) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;

private:
    std::function<QWidget*()> m_parent;
};

} // namespace kestrel
