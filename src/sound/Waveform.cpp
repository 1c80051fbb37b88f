#include "sound/Waveform.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace kestrel {
namespace {

// Pictures larger than this are a caller's mistake, not something to allocate for.
constexpr int MaxSide = 16384;

struct Range
{
    int low = std::numeric_limits<int>::max();
    int high = std::numeric_limits<int>::min();
};

class Canvas
{
public:
    Canvas(int width, int height, const std::array<std::uint8_t, 4>& fill)
        : m_width(static_cast<size_t>(width)), m_pixels(m_width * static_cast<size_t>(height) * 4)
    {
        for (size_t i = 0; i < m_pixels.size(); i += 4)
            std::copy(fill.begin(), fill.end(), m_pixels.begin() + static_cast<std::ptrdiff_t>(i));
    }

    void Set(int x, int y, const std::array<std::uint8_t, 4>& colour)
    {
        const size_t at = (static_cast<size_t>(y) * m_width + static_cast<size_t>(x)) * 4;
        std::copy(colour.begin(), colour.end(), m_pixels.begin() + static_cast<std::ptrdiff_t>(at));
    }

    std::vector<std::uint8_t> Take() { return std::move(m_pixels); }

private:
    size_t m_width;
    std::vector<std::uint8_t> m_pixels;
};

// The row of a sample value: full positive scale on the top row, full negative on the bottom.
int RowOf(int value, int height)
{
    const std::int64_t fromTop = std::int64_t{32767} - value;
    return static_cast<int>((fromTop * (height - 1) + 32767) / 65535);
}

int MixedFrame(const DecodedSound& sound, size_t frame)
{
    const auto channels = static_cast<size_t>(sound.channels);
    int sum = 0;
    for (size_t channel = 0; channel < channels; ++channel)
        sum += sound.samples[frame * channels + channel];
    return sum / sound.channels;
}

// The frames of column x: the share of the sound it covers, at least one frame when the sound
// is shorter than the picture is wide, so short sounds stretch instead of leaving gaps.
Range ColumnRange(const DecodedSound& sound, std::int64_t frames, int x, int width)
{
    const std::int64_t first = frames * x / width;
    const std::int64_t end = std::max(first + 1, frames * (x + 1) / width);
    Range range;
    for (std::int64_t frame = first; frame < std::min(end, frames); ++frame) {
        const int value = MixedFrame(sound, static_cast<size_t>(frame));
        range.low = std::min(range.low, value);
        range.high = std::max(range.high, value);
    }
    return range;
}

} // namespace

std::vector<std::uint8_t> RenderWaveform(const DecodedSound& sound, const WaveformStyle& style)
{
    if (style.width <= 0 || style.height <= 0 || style.width > MaxSide || style.height > MaxSide)
        return {};
    Canvas canvas(style.width, style.height, style.background);
    const std::int64_t frames = sound.channels > 0 ? sound.Frames() : 0;
    for (int x = 0; x < style.width && frames > 0; ++x) {
        const Range range = ColumnRange(sound, frames, x, style.width);
        for (int y = RowOf(range.high, style.height); y <= RowOf(range.low, style.height); ++y)
            canvas.Set(x, y, style.wave);
    }
    // Drawn last so that the zero line stays visible through loud passages.
    const int centre = RowOf(0, style.height);
    for (int x = 0; x < style.width; ++x)
        canvas.Set(x, centre, style.centreLine);
    return canvas.Take();
}

} // namespace kestrel
