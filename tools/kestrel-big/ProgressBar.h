#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace kestrel::cli {

/// "12.3 MiB" style sizes for people (bytes below 1 KiB are shown exactly).
std::string FormatByteCount(std::uint64_t bytes);

/// One line of the progress bar, at most `width` characters:
/// "extract [=====     ] 1200/5000 entries  120.0 MiB/500.0 MiB"; without the entries when
/// `entriesTotal` is 0 (saves count bytes only).
std::string FormatProgressLine(std::string_view label, std::uint64_t entriesDone, std::uint64_t entriesTotal,
                               std::uint64_t bytesDone, std::uint64_t bytesTotal, size_t width);

/// A progress line redrawn in place on a terminal. Disabled bars write nothing at all, so
/// commands update them unconditionally. Redraws are limited to ten a second: drawing for every
/// entry of a 100,000-entry archive would cost more than the work.
class ProgressBar
{
public:
    ProgressBar(std::ostream& out, bool enabled, std::string label, std::uint64_t entriesTotal,
                std::uint64_t bytesTotal);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void Update(std::uint64_t entriesDone, std::uint64_t bytesDone);
    /// Removes the line, so messages that follow start on a clean line.
    void Finish();

private:
    std::ostream& m_out;
    bool m_enabled;
    bool m_drawn = false;
    std::string m_label;
    std::uint64_t m_entriesTotal;
    std::uint64_t m_bytesTotal;
    std::chrono::steady_clock::time_point m_lastDraw{};
};

} // namespace kestrel::cli
