// Reads arbitrary bytes as a CSF string table and as each text form. Whatever is read must write
// back to bytes that read as the same table, and a table read whole without oddities must write
// back to exactly the bytes it came from.
#include "strings/CsfTable.h"
#include "strings/StringTableText.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void CheckCsf(std::span<const std::uint8_t> bytes)
{
    const kestrel::CsfReadResult read = kestrel::ReadCsf(bytes);
    if (read.stoppedAt > bytes.size())
        __builtin_trap();
    const std::vector<std::uint8_t> written = kestrel::WriteCsf(read.table);
    const kestrel::CsfReadResult reread = kestrel::ReadCsf(written);
    if (!reread.complete || !reread.notes.empty() || !(reread.table == read.table))
        __builtin_trap();
    if (read.complete && read.notes.empty() && !std::equal(bytes.begin(), bytes.end(), written.begin(), written.end()))
        __builtin_trap();
    // The PO form keeps everything a table holds as long as labels do not repeat back to back.
    const auto& labels = read.table.labels;
    const bool repeats = std::adjacent_find(labels.begin(), labels.end(), [](const auto& a, const auto& b) {
        return a.name == b.name;
    }) != labels.end();
    if (!repeats && !(kestrel::ReadPo(kestrel::WritePo(read.table)).table.labels == labels))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    CheckCsf(bytes);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto format : {kestrel::StringTableFormat::Str, kestrel::StringTableFormat::Csv, kestrel::StringTableFormat::Po})
        CheckCsf(kestrel::WriteCsf(kestrel::ReadStringTableText(text, format).table));
    return 0;
}
