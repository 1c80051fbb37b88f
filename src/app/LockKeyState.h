#pragma once

#include <optional>

namespace kestrel {

struct LockKeys
{
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

/// The keyboard's lock states where the windowing system reports them (X11); nullopt elsewhere,
/// for example on Wayland or the offscreen platform, where the indicators stay empty.
std::optional<LockKeys> QueryLockKeys();

} // namespace kestrel
