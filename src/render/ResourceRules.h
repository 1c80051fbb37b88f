#pragma once

#include <string>

namespace kestrel {

/// The byte range rule of buffer `SetData` / `GetData`: a count of -1 means up to the end; the
/// range must start at 0 or later and end inside `size`. Gives the count to use, or -1.
int ResolveByteRange(int byteOffset, int byteCount, int size);

/// `GetSource` of both shader kinds: the text with its terminating zero, when it fits.
bool CopyShaderSource(const std::string* text, char* buffer, int bufferSize);

} // namespace kestrel
