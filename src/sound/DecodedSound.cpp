#include "sound/DecodedSound.h"

namespace kestrel {

std::int64_t DecodedSound::Frames() const
{
    return channels > 0 ? static_cast<std::int64_t>(samples.size()) / channels : 0;
}

double DecodedSound::Seconds() const
{
    return sampleRate > 0 ? static_cast<double>(Frames()) / sampleRate : 0.0;
}

} // namespace kestrel
