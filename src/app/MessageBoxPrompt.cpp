#include "app/MessageBoxPrompt.h"

#include "app/AppStrings.h"

#include <QMessageBox>

namespace kestrel {
MessageBoxPrompt::MessageBoxPrompt(std::function<QWidget*()> parent) : m_parent(std::move(parent)) {}

void MessageBoxPrompt::ShowMessage(const std::string& text, const std::string& caption)
{
    QMessageBox::warning(m_parent(), FromBytes(caption), FromBytes(text));
}

void MessageBoxPrompt::ShowNotice(const std::string& text, const std::string& caption)
{
    QMessageBox::information(m_parent(), FromBytes(caption), FromBytes(text));
}

bool MessageBoxPrompt::AskYesNo(const std::string& text, const std::string& caption)
{
    const auto answer = QMessageBox::question(m_parent(), FromBytes(caption), FromBytes(text),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    return answer == QMessageBox::Yes;
}

} // namespace kestrel
