#include "render/ResourceRules.h"

#include <cstring>

namespace kestrel {

int ResolveByteRange(int byteOffset, int byteCount, int size)
{
    if (byteOffset < 0 || byteOffset > size)
        return -1;
    if (byteCount == -1)
        return size - byteOffset;
    if (byteCount < 0 || byteCount > size - byteOffset)
        return -1;
    return byteCount;
}

bool CopyShaderSource(const std::string* text, char* buffer, int bufferSize)
{
    if (text == nullptr || buffer == nullptr || bufferSize <= 0)
        return false;
    if (text->size() >= static_cast<size_t>(bufferSize))
        return false;
    std::memcpy(buffer, text->c_str(), text->size() + 1);
    return true;
}

} // namespace kestrel
