#pragma once

#include <string>

namespace kestrel {

/// Rewrites Direct3D vertex shader assembly (vs.1.0 / vs.1.1) line by line into an ARB vertex
/// program: header, register declarations, ATTRIB bindings, upper-cased opcodes, '#' comments.
/// Instructions are neither checked nor renamed, so the result is only as valid as its source;
/// the driver reports what it cannot take when the program is loaded. Never fails.
std::string TranslateVertexShaderToARB(std::string source);

} // namespace kestrel
