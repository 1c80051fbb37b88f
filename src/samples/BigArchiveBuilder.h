#pragma once

#include "samples/ByteWriter.h"
#include "samples/SampleFiles.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kestrel::samples {

/// Builds BIG archive bytes from (name, bytes) pairs without Kestrel's archive code, so the demo
/// and the benchmarks need no editor to make their archives and tests can compare Kestrel's
/// output against a second opinion. By default the layout is
/// the canonical one: header, packed table, marker, entries back to back in the given order.
struct BigArchiveBuilder
{
    struct Entry
    {
        std::string name;
        std::vector<std::uint8_t> bytes;
    };

    std::string magic = "BIGF";
    std::vector<Entry> entries;
    /// Marker bytes written behind the table; default: "L225"+4 zeros for BIGF, "L253"+15 05 00 00 00
    /// for BIG4, nothing for any other magic.
    std::optional<std::vector<std::uint8_t>> marker;
    /// Extra zero bytes between the marker and the first entry's data.
    std::uint32_t gapBeforeData = 0;
    /// Value of header field 12; default data start - 1.
    std::optional<std::uint32_t> field12;
    /// Value of header field 4; default data start + sum of sizes.
    std::optional<std::uint32_t> archiveSizeField;

    BigArchiveBuilder& Add(std::string name, std::vector<std::uint8_t> bytes);
    BigArchiveBuilder& Add(std::string name, const std::string& text);

    std::vector<std::uint8_t> MarkerBytes() const;
    std::uint32_t TableLength() const;
    std::uint32_t DataStart() const;
    std::vector<std::uint8_t> Build() const;
    /// Writes Build() to `path`, creating folders; returns the path.
    std::filesystem::path WriteTo(const std::filesystem::path& path) const;
};

} // namespace kestrel::samples
