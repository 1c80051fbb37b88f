// Feeds arbitrary bytes to the W3D chunk reader and the model assembly (into the in-memory
// collector, no device). The same bytes also serve as the archive's skeleton entry, so HLOD
// models exercise the skeleton path too.
#include "w3d/W3DModelAssembly.h"
#include "w3d/W3DModelCollector.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    kestrel::W3DAssemblyOptions options;
    options.texturesEnabled = size % 2 == 0;
    options.readArchiveEntry = [bytes](const std::string&) {
        return std::optional(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    };
    kestrel::W3DModelCollector model;
    const auto summary = kestrel::AssembleW3DModel(bytes, options, model);
    // A failed load must leave nothing behind.
    if (!summary.loaded && !model.Groups().empty())
        __builtin_trap();
    return 0;
}
