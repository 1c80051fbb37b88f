#include "support/FakePrompt.h"

namespace kestrel::test {

void FakePrompt::ShowMessage(const std::string& text, const std::string& caption)
{
    shown.push_back({text, caption, false});
}

bool FakePrompt::AskYesNo(const std::string& text, const std::string& caption)
{
    shown.push_back({text, caption, true});
    if (answers.empty()) {
        ++unscriptedQuestions;
        return false;
    }
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

void FakePrompt::Answer(std::initializer_list<bool> list)
{
    answers.insert(answers.end(), list.begin(), list.end());
}

} // namespace kestrel::test
