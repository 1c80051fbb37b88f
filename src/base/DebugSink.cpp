#include "base/DebugSink.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace kestrel {
namespace {

bool DebugEnabledByEnvironment()
{
    const char* value = std::getenv("KESTREL_DEBUG");
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

void WriteToStderr(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stderr);
}

std::function<void(std::string_view)>& CurrentSink()
{
    static std::function<void(std::string_view)> sink =
        DebugEnabledByEnvironment() ? std::function<void(std::string_view)>(WriteToStderr) : nullptr;
    return sink;
}

} // namespace

void DebugOutput(std::string_view text)
{
    if (auto& sink = CurrentSink())
        sink(text);
}

void DebugLine(std::string_view text)
{
    DebugOutput(text);
    DebugOutput("\r\n");
}

ScopedDebugCapture::ScopedDebugCapture(std::function<void(std::string_view)> sink)
    : m_previous(std::exchange(CurrentSink(), std::move(sink)))
{
}

ScopedDebugCapture::~ScopedDebugCapture()
{
    CurrentSink() = std::move(m_previous);
}

} // namespace kestrel
