#include "samples/BigArchiveBuilder.h"

namespace kestrel::samples {
BigArchiveBuilder& BigArchiveBuilder::Add(std::string name, std::vector<std::uint8_t> bytes)
{
    entries.push_back({std::move(name), std::move(bytes)});
    return *this;
}

BigArchiveBuilder& BigArchiveBuilder::Add(std::string name, const std::string& text)
{
    return Add(std::move(name), Bytes(text));
}

std::vector<std::uint8_t> BigArchiveBuilder::MarkerBytes() const
{
    if (marker)
        return *marker;
    if (magic == "BIGF")
        return {'L', '2', '2', '5', 0, 0, 0, 0};
    if (magic == "BIG4")
        return {'L', '2', '5', '3', 0x15, 0x05, 0, 0, 0};
    return {};
}

std::uint32_t BigArchiveBuilder::TableLength() const
{
    std::uint32_t length = 16;
    for (const auto& entry : entries)
        length += static_cast<std::uint32_t>(8 + entry.name.size() + 1);
    return length;
}

std::uint32_t BigArchiveBuilder::DataStart() const
{
    return TableLength() + static_cast<std::uint32_t>(MarkerBytes().size()) + gapBeforeData;
}

std::vector<std::uint8_t> BigArchiveBuilder::Build() const
{
    const std::uint32_t dataStart = DataStart();
    std::uint32_t total = dataStart;
    for (const auto& entry : entries)
        total += static_cast<std::uint32_t>(entry.bytes.size());

    ByteWriter out;
    out.Fixed(magic, 4).U32(archiveSizeField.value_or(total));
    out.U32BE(static_cast<std::uint32_t>(entries.size())).U32BE(field12.value_or(dataStart - 1));
    std::uint32_t position = dataStart;
    for (const auto& entry : entries) {
        out.U32BE(position).U32BE(static_cast<std::uint32_t>(entry.bytes.size())).Text(entry.name).U8(0);
        position += static_cast<std::uint32_t>(entry.bytes.size());
    }
    out.Raw(MarkerBytes()).Zeros(gapBeforeData);
    for (const auto& entry : entries)
        out.Raw(entry.bytes);
    return out;
}

std::filesystem::path BigArchiveBuilder::WriteTo(const std::filesystem::path& path) const
{
    WriteFileBytes(path, Build());
    return path;
}

} // namespace kestrel::samples
