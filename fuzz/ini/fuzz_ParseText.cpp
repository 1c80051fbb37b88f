// Parses arbitrary bytes as an INI text. The first byte picks the structure configuration: none,
// one of the three games of the shipped configuration file, or a small one with a raw-text area.
#include "ini/CIniBlock.h"
#include "ini/StructureConfig.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace {

constexpr std::string_view kRawTextConfiguration = "Game\n"
                                                   "  ForcedObjects\n    Body =\n    State =\n  End\n"
                                                   "  ForcedValues\n    Blank =\n    Preset =\n  End\n"
                                                   "  ObjectsWithLists\n    State =\n  End\n"
                                                   "  StringAreas\n    Script\n      End = EndScript\n    End\n  End\n"
                                                   "End\n";

struct Configurations
{
    std::unique_ptr<kestrel::CIniBlock> shipped = kestrel::LoadConfigurationFile(KESTREL_CONFIGURATION_FILE, nullptr);
    kestrel::CIniBlock rawText;

    Configurations() { rawText.ParseText(kRawTextConfiguration); }

    kestrel::StructureConfig Pick(std::uint8_t selector) const
    {
        switch (selector % 5) {
        case 1:
        case 2:
        case 3:
            return shipped ? kestrel::StructureConfig::FromGameBlock(kestrel::FindGameBlock(
                                 *shipped, static_cast<kestrel::GameKind>(selector % 5 - 1)))
                           : kestrel::StructureConfig{};
        case 4:
            return kestrel::StructureConfig::FromGameBlock(rawText.FindChild("Game"));
        default:
            return {};
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const Configurations configurations;
    if (size == 0)
        return 0;
    kestrel::CIniBlock root(configurations.Pick(data[0]));
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    root.ParseText(text);

    int valueIndex = 0;
    const std::int32_t step = root.GetEndLine() / 64 + 1;
    for (std::int32_t line = -1; line <= root.GetEndLine(); line += step) {
        const kestrel::CIniBlock* block = root.FindBlockAtLine(line, valueIndex);
        if (valueIndex >= 0 && !block->GetValue(valueIndex))
            __builtin_trap();
    }
    if (root.GetChildCount() > 0) {
        kestrel::CIniBlock copy;
        copy.CopyFrom(*root.GetChild(0));
        copy.CopyFrom(*root.GetChild(root.GetChildCount() - 1));
    }
    return 0;
}
