#pragma once

#include "base/IPrompt.h"

#include <deque>
#include <string>
#include <vector>

namespace kestrel::test {

/// A prompt that records every text and caption shown and answers questions from a script.
/// A question with an empty script is a test failure (recorded, answered No).
class FakePrompt : public IPrompt
{
public:
    struct Shown
    {
        std::string text;
        std::string caption;
        bool question = false;
    };

    void ShowMessage(const std::string& text, const std::string& caption) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;

    /// Queues answers for the next questions, in order.
    void Answer(std::initializer_list<bool> answers);

    std::vector<Shown> shown;
    std::deque<bool> answers;
    int unscriptedQuestions = 0;
};

} // namespace kestrel::test
