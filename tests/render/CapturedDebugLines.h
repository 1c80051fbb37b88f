#pragma once

#include "base/DebugSink.h"

#include <functional>
#include <string>
#include <vector>

namespace kestrel::test {

/// The debug lines `action` writes, without the separate line ends.
inline std::vector<std::string> CapturedDebugLines(const std::function<void()>& action)
{
    std::vector<std::string> lines;
    ScopedDebugCapture capture([&](std::string_view text) {
        if (text != "\r\n")
            lines.emplace_back(text);
    });
    action();
    return lines;
}

} // namespace kestrel::test
