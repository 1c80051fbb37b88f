#include "ProgressBar.h"

#include <algorithm>
#include <cstdio>

namespace kestrel::cli {
namespace {

constexpr size_t LineWidth = 79;
constexpr auto RedrawInterval = std::chrono::milliseconds(100);

} // namespace

std::string FormatByteCount(std::uint64_t bytes)
{
    if (bytes < 1024)
        return std::to_string(bytes) + " B";
    static const char* const units[] = {"KiB", "MiB", "GiB", "TiB"};
    double value = static_cast<double>(bytes) / 1024.0;
    size_t unit = 0;
    while (value >= 1024.0 && unit + 1 < std::size(units)) {
        value /= 1024.0;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
    return text;
}

std::string FormatProgressLine(std::string_view label, std::uint64_t entriesDone, std::uint64_t entriesTotal,
                               std::uint64_t bytesDone, std::uint64_t bytesTotal, size_t width)
{
    std::string counts = " ";
    if (entriesTotal > 0)
        counts += std::to_string(entriesDone) + "/" + std::to_string(entriesTotal) + " entries  ";
    counts += FormatByteCount(bytesDone) + "/" + FormatByteCount(bytesTotal);
    // Bytes say more about the time left than entries do, unless there are no bytes.
    const double fraction = bytesTotal > 0    ? static_cast<double>(bytesDone) / static_cast<double>(bytesTotal)
                            : entriesTotal > 0 ? static_cast<double>(entriesDone) / static_cast<double>(entriesTotal)
                                               : 1.0;
    const size_t fixed = label.size() + 3 + counts.size();
    std::string line(label);
    if (width > fixed + 4) {
        const size_t barWidth = std::min<size_t>(width - fixed, 40);
        const auto filled = static_cast<size_t>(std::clamp(fraction, 0.0, 1.0) * static_cast<double>(barWidth));
        line += " [" + std::string(filled, '=') + std::string(barWidth - filled, ' ') + "]";
    }
    line += counts;
    if (line.size() > width)
        line.resize(width);
    return line;
}

ProgressBar::ProgressBar(std::ostream& out, bool enabled, std::string label, std::uint64_t entriesTotal,
                         std::uint64_t bytesTotal)
    : m_out(out), m_enabled(enabled), m_label(std::move(label)), m_entriesTotal(entriesTotal),
      m_bytesTotal(bytesTotal)
{
}

ProgressBar::~ProgressBar()
{
    Finish();
}

void ProgressBar::Update(std::uint64_t entriesDone, std::uint64_t bytesDone)
{
    if (!m_enabled)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (m_drawn && now - m_lastDraw < RedrawInterval)
        return;
    m_lastDraw = now;
    m_drawn = true;
    m_out << '\r' << FormatProgressLine(m_label, entriesDone, m_entriesTotal, bytesDone, m_bytesTotal, LineWidth)
          << "\x1b[K" << std::flush;
}

void ProgressBar::Finish()
{
    if (m_drawn)
        m_out << "\r\x1b[K" << std::flush;
    m_drawn = false;
}

} // namespace kestrel::cli
