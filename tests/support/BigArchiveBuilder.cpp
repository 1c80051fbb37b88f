#include "support/BigArchiveBuilder.h"

#include <fstream>
#include <random>
#include <stdexcept>

namespace kestrel::test {
namespace {

void PutLE(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutBE(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 3; i >= 0; --i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

} // namespace

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

    std::vector<std::uint8_t> out;
    out.reserve(total);
    out.insert(out.end(), magic.begin(), magic.begin() + 4);
    PutLE(out, archiveSizeField.value_or(total));
    PutBE(out, static_cast<std::uint32_t>(entries.size()));
    PutBE(out, field12.value_or(dataStart - 1));
    std::uint32_t position = dataStart;
    for (const auto& entry : entries) {
        PutBE(out, position);
        PutBE(out, static_cast<std::uint32_t>(entry.bytes.size()));
        out.insert(out.end(), entry.name.begin(), entry.name.end());
        out.push_back(0);
        position += static_cast<std::uint32_t>(entry.bytes.size());
    }
    const auto markerBytes = MarkerBytes();
    out.insert(out.end(), markerBytes.begin(), markerBytes.end());
    out.insert(out.end(), gapBeforeData, 0);
    for (const auto& entry : entries)
        out.insert(out.end(), entry.bytes.begin(), entry.bytes.end());
    return out;
}

std::filesystem::path BigArchiveBuilder::WriteTo(const std::filesystem::path& path) const
{
    WriteFileBytes(path, Build());
    return path;
}

std::vector<std::uint8_t> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
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
