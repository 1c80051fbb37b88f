#include "image/ImageDecoders.h"

#include "image/DecoderSupport.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace kestrel {
using namespace image_detail;

namespace {

constexpr size_t HeaderBytes = 18;
constexpr size_t FooterBytes = 26;
constexpr std::uint32_t ScanLineTableField = 490;
constexpr std::uint8_t UncompressedTrueColour = 2;
constexpr std::uint8_t RunLengthTrueColour = 10;
constexpr std::uint8_t RightToLeft = 0x10;
constexpr std::uint8_t TopRowFirst = 0x20;

struct TgaHeader
{
    std::uint8_t idLength = 0;
    std::uint8_t imageType = 0;
    std::uint16_t colourMapLength = 0;
    std::uint8_t colourMapEntryBits = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t pixelDepth = 0;
    std::uint8_t descriptor = 0;
};

std::optional<TgaHeader> ReadHeader(std::span<const std::uint8_t> data)
{
    ByteReader in(data);
    TgaHeader header;
    const bool complete = ReadField(in, header.idLength) && in.Skip(1) && ReadField(in, header.imageType) &&
                          in.Skip(2) && ReadField(in, header.colourMapLength) &&
                          ReadField(in, header.colourMapEntryBits) && in.Skip(4) && ReadField(in, header.width) &&
                          ReadField(in, header.height) && ReadField(in, header.pixelDepth) &&
                          ReadField(in, header.descriptor);
    if (!complete)
        return std::nullopt;
    return header;
}

// A TGA 2.0 file may say where its pixels start through the scan-line table of its extension
// area. Offsets that lead outside the file make the whole file unreadable (nullopt).
std::optional<std::uint64_t> PixelDataStart(std::span<const std::uint8_t> data, const TgaHeader& header)
{
    const std::uint64_t colourMapBytes =
        std::uint64_t{header.colourMapLength} * ((header.colourMapEntryBits + 7u) / 8u);
    const std::uint64_t start = HeaderBytes + header.idLength + colourMapBytes;
    if (data.size() < FooterBytes)
        return start;

    ByteReader in(data);
    std::uint32_t extensionOffset = 0;
    in.Seek(data.size() - FooterBytes);
    ReadField(in, extensionOffset);
    in.Skip(4);
    const auto signature = in.ReadBytes(16);
    constexpr std::string_view truevision = "TRUEVISION-XFILE";
    if (!signature || !std::equal(signature->begin(), signature->end(), truevision.begin()) || extensionOffset == 0)
        return start;

    std::uint32_t scanLineTable = 0;
    if (!in.Seek(std::uint64_t{extensionOffset} + ScanLineTableField) || !ReadField(in, scanLineTable))
        return std::nullopt;
    if (scanLineTable == 0)
        return start;
    std::uint32_t firstScanLine = 0;
    if (!in.Seek(scanLineTable) || !ReadField(in, firstScanLine))
        return std::nullopt;
    return firstScanLine;
}

// Receives decoded pixels in file order and puts each into its output row.
class PixelCursor
{
public:
    PixelCursor(DecodedImage& image, bool topRowFirst) : m_image(image), m_topRowFirst(topRowFirst) {}

    void Put(const std::uint8_t* pixel, unsigned bytesPerPixel)
    {
        if (m_x == 0)
            m_row = m_image.pixels.data() + OutputRow(m_fileRow) * std::uint64_t{m_image.width} * 4;
        StorePixel(pixel, bytesPerPixel, m_row + m_x * 4);
        if (++m_x == m_image.width) {
            m_x = 0;
            ++m_fileRow;
        }
    }

    std::uint32_t OutputRow(std::uint32_t fileRow) const
    {
        return m_topRowFirst ? fileRow : m_image.height - 1 - fileRow;
    }

private:
    DecodedImage& m_image;
    bool m_topRowFirst;
    std::uint32_t m_x = 0;
    std::uint32_t m_fileRow = 0;
    std::uint8_t* m_row = nullptr;
};

void CopyRawRows(std::span<const std::uint8_t> pixelData, unsigned bytesPerPixel, DecodedImage& image,
                 const PixelCursor& rows)
{
    const std::uint64_t fileRowBytes = std::uint64_t{image.width} * bytesPerPixel;
    for (std::uint32_t fileRow = 0; fileRow < image.height; ++fileRow) {
        std::uint8_t* out = image.pixels.data() + rows.OutputRow(fileRow) * std::uint64_t{image.width} * 4;
        StorePixelRow(BytesFrom(pixelData, fileRow * fileRowBytes), image.width, bytesPerPixel, out);
    }
}

// Packets: a byte b, then (b & 0x7F) + 1 pixels, either one value repeated (b & 0x80) or literal
// values. A packet that would run past the picture ends the expansion, as does the end of the data.
void ExpandRunLengthRows(std::span<const std::uint8_t> pixelData, unsigned bytesPerPixel, DecodedImage& image,
                         PixelCursor& cursor)
{
    ByteReader in(pixelData);
    const std::uint64_t total = std::uint64_t{image.width} * image.height;
    std::uint64_t produced = 0;
    while (produced < total) {
        const auto packet = in.ReadU8();
        if (!packet)
            return;
        const unsigned count = (*packet & 0x7Fu) + 1;
        if (produced + count > total)
            return;
        if ((*packet & 0x80u) != 0) {
            const auto value = in.ReadBytes(bytesPerPixel);
            if (!value)
                return;
            for (unsigned i = 0; i < count; ++i)
                cursor.Put(value->data(), bytesPerPixel);
        } else {
            const size_t present = std::min<size_t>(count, in.Remaining() / bytesPerPixel);
            const auto values = in.ReadBytes(present * bytesPerPixel);
            for (size_t i = 0; i < present; ++i)
                cursor.Put(values->data() + i * bytesPerPixel, bytesPerPixel);
            if (present < count)
                return;
        }
        produced += count;
    }
}

} // namespace

bool DecodeTGA(std::span<const std::uint8_t> data, DecodedImage& image)
{
    image = DecodedImage{};
    const auto header = ReadHeader(data);
    // Depths below 24 are palette or 16-bit pictures; above 32 a pixel would not fit the output.
    if (!header || header->pixelDepth < 24 || header->pixelDepth > 32)
        return Fail(image);
    const auto start = PixelDataStart(data, *header);
    if (!start || *start > data.size() || (header->descriptor & RightToLeft) != 0)
        return Fail(image);
    if (header->imageType != UncompressedTrueColour && header->imageType != RunLengthTrueColour)
        return Fail(image);
    if (!AllocatePixels(image, header->width, header->height))
        return Fail(image);

    const unsigned bytesPerPixel = header->pixelDepth / 8u;
    const auto pixelData = BytesFrom(data, *start);
    PixelCursor cursor(image, (header->descriptor & TopRowFirst) != 0);
    if (header->imageType == UncompressedTrueColour)
        CopyRawRows(pixelData, bytesPerPixel, image, cursor);
    else
        ExpandRunLengthRows(pixelData, bytesPerPixel, image, cursor);
    return true;
}

} // namespace kestrel
