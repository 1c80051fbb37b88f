#include "support/BigArchiveBuilder.h"

#include <fstream>
#include <random>
#include <stdexcept>

namespace kestrel::test {
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

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string ReadFileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

TempFolder::TempFolder()
{
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = std::filesystem::temp_directory_path() / ("kestrel-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            m_path = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

} // namespace kestrel::test
