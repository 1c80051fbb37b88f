// Feeds arbitrary bytes to the W3D animation reader; what it reads poses a model built from the
// same bytes (whose skeleton they may hold too) in every frame, and every channel is sampled
// around and beyond its keys.
#include "w3d/W3DAnimation.h"
#include "w3d/W3DModelAssembly.h"
#include "w3d/W3DModelCollector.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    const auto load = kestrel::LoadW3DAnimation(bytes);
    // Damage is reported, never a half-read animation.
    if (load.animation && !load.error.empty())
        __builtin_trap();
    if (!load.animation)
        return 0;
    for (const auto& channel : load.animation->channels) {
        for (const float frame : {-1.0f, 0.0f, 0.5f, 1.0f, 7.25f, 1e6f}) {
            const auto value = channel.Sample(frame);
            if (channel.kind == kestrel::W3DAnimationChannel::Kind::Quaternion && std::isfinite(value[3])
                && std::fabs(value[3]) > 1.0001f)
                __builtin_trap();
        }
    }
    kestrel::W3DAssemblyOptions options;
    options.animation = &*load.animation;
    options.readArchiveEntry = [bytes](const std::string&) {
        return std::optional(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    };
    kestrel::W3DModelCollector model;
    const auto summary = kestrel::AssembleW3DModel(bytes, options, model);
    if (summary.loaded && summary.animationFrames > load.animation->frameCount)
        __builtin_trap();
    return 0;
}
