#pragma once

namespace kestrel::test {

/// Loads Mesa's GLX vendor library and its software DRI driver for good, before Qt or a device
/// touches OpenGL. At exit the GL dispatch unloads both: memory they still point at then looks
/// leaked to the leak checker, with no module name left to suppress it by. Kept loaded, their
/// globals stay reachable and their frames keep names. Does nothing where Mesa is not installed.
void KeepGraphicsDriversLoaded();

} // namespace kestrel::test
