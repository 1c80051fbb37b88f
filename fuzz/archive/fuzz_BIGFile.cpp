// Opens arbitrary bytes as a BIG archive (lazily and loaded whole), reads every entry, looks every
// name up, and lays out an in-place save with some entries grown, checking that the layout never
// writes over bytes that are still needed.
#include "archive/BIGLayout.h"
#include "archive/CBIGFile.h"
#include "base/IPrompt.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

/// Says Yes to the unknown-magic question so odd headers still reach the table reader.
class AgreeingPrompt : public kestrel::IPrompt
{
public:
    void ShowMessage(const std::string&, const std::string&) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return true; }
};

const std::filesystem::path& InputPath()
{
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("kestrel-fuzz-archive-" + std::to_string(getpid()) + ".big");
    return path;
}

struct Range
{
    std::uint64_t start, end;
    bool written;
};

/// Aborts when a write of the plan overlaps the table, another write, or bytes of an entry the
/// save keeps where they are.
void CheckPlan(std::vector<kestrel::BIGEntry> entries, int format, std::uint32_t storedDataStart,
               std::uint64_t fileLength, std::uint8_t seed)
{
    for (size_t i = 0; i < entries.size(); ++i) {
        if ((i + seed) % 3 == 0) { // some entries grow, some shrink
            entries[i].modified = true;
            entries[i].size = (i + seed) % 2 ? entries[i].storedSize * 2 + 1 : entries[i].storedSize / 2;
        }
    }
    const kestrel::InPlacePlan plan = kestrel::PlanInPlace(entries, format, storedDataStart, fileLength);
    if (plan.tooLarge)
        return;
    std::vector<Range> ranges{{0, kestrel::TableNeed(entries, format), true}};
    std::vector<bool> written(entries.size(), false);
    for (const auto* list : {&plan.moved, &plan.rewrittenInPlace}) {
        for (const int k : *list) {
            const auto index = static_cast<size_t>(k);
            written[index] = true;
            ranges.push_back({plan.offsets[index], std::uint64_t{plan.offsets[index]} + entries[index].size, true});
            if (list == &plan.moved && plan.offsets[index] < std::max<std::uint64_t>(fileLength, plan.dataStart))
                std::abort();
        }
    }
    for (size_t i = 0; i < entries.size(); ++i)
        if (!written[i] && entries[i].storedSize > 0)
            ranges.push_back({entries[i].storedOffset, std::uint64_t{entries[i].storedOffset} + entries[i].storedSize, false});
    std::sort(ranges.begin(), ranges.end(), [](const Range& a, const Range& b) { return a.start < b.start; });
    for (size_t i = 0; i < ranges.size(); ++i)
        for (size_t j = i + 1; j < ranges.size() && ranges[j].start < ranges[i].end; ++j)
            if ((ranges[i].written || ranges[j].written) && ranges[j].start < ranges[j].end)
                std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        std::ofstream out(InputPath(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    AgreeingPrompt prompt;
    for (int loadWhole : {0, 1}) {
        kestrel::CBIGFile archive(prompt);
        if (!archive.Open(InputPath(), loadWhole))
            continue;
        std::vector<kestrel::BIGEntry> entries;
        for (int i = 0; i < archive.GetEntryCount(); ++i) {
            (void)archive.GetEntryBytes(i);
            const int found = archive.FindEntry(archive.GetEntryName(i));
            if (found < 0 || found > i)
                std::abort();
            entries.push_back(*archive.GetEntry(i));
        }
        if (loadWhole == 0 && entries.size() <= 2000)
            CheckPlan(std::move(entries), archive.GetFormat(), archive.GetStoredDataStart(), archive.GetFileLength(),
                      size > 0 ? data[size - 1] : 0);
    }
    return 0;
}
