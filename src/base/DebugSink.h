#pragma once

#include <functional>
#include <string_view>

namespace kestrel {

/// Diagnostics that only a developer wants to see (decoder and device messages). Silent unless
/// KESTREL_DEBUG is set to a non-empty value other than "0", then written to stderr. Tests
/// redirect it with ScopedDebugCapture.
void DebugOutput(std::string_view text);

/// The diagnostic convention of the wrapper, decoders and mesh: the text, then a separate "\r\n".
void DebugLine(std::string_view text);

/// Replaces the sink while alive and restores the previous one afterwards.
class ScopedDebugCapture
{
public:
    explicit ScopedDebugCapture(std::function<void(std::string_view)> sink);
    ~ScopedDebugCapture();
    ScopedDebugCapture(const ScopedDebugCapture&) = delete;
    ScopedDebugCapture& operator=(const ScopedDebugCapture&) = delete;

private:
    std::function<void(std::string_view)> m_previous;
};

} // namespace kestrel
