#include "sound/RiffChunks.h"

#include "base/ByteReader.h"

#include <algorithm>

namespace kestrel {
namespace {

constexpr size_t ChunkHeaderSize = 8;
constexpr size_t RiffHeaderSize = 12;

std::string FourCC(std::span<const std::uint8_t> bytes, size_t at)
{
    return std::string(reinterpret_cast<const char*>(bytes.data() + at), 4);
}

} // namespace

bool ReadRiffChunks(std::span<const std::uint8_t> bytes, std::string_view formType,
                    std::vector<RiffChunk>& chunks, std::string& error)
{
    chunks.clear();
    if (bytes.size() < RiffHeaderSize) {
        error = "too short for a RIFF header: " + std::to_string(bytes.size()) + " bytes";
        return false;
    }
    if (FourCC(bytes, 0) != "RIFF") {
        error = "no \"RIFF\" signature at offset 0";
        return false;
    }
    if (FourCC(bytes, 8) != formType) {
        error = "RIFF form at offset 8 is not \"" + std::string(formType) + "\"";
        return false;
    }
    const std::uint64_t declaredEnd = std::uint64_t{LoadU32LE(bytes.data() + 4)} + ChunkHeaderSize;
    const size_t walkEnd = declaredEnd >= RiffHeaderSize && declaredEnd <= bytes.size()
        ? static_cast<size_t>(declaredEnd) : bytes.size();

    size_t position = RiffHeaderSize;
    while (walkEnd - position >= ChunkHeaderSize) {
        RiffChunk chunk;
        chunk.id = FourCC(bytes, position);
        chunk.offset = position;
        const size_t size = LoadU32LE(bytes.data() + position + 4);
        const size_t bodyStart = position + ChunkHeaderSize;
        const size_t available = bytes.size() - bodyStart;
        chunk.cutShort = size > available;
        chunk.body = bytes.subspan(bodyStart, std::min(size, available));
        chunks.push_back(chunk);
        if (chunk.cutShort)
            break;
        // Bodies of odd size are padded to keep every chunk on an even offset.
        const size_t next = bodyStart + size + (size & 1);
        if (next > walkEnd)
            break;
        position = next;
    }
    return true;
}

const RiffChunk* FindRiffChunk(const std::vector<RiffChunk>& chunks, std::string_view id)
{
    const auto found = std::find_if(chunks.begin(), chunks.end(), [&](const RiffChunk& chunk) {
        return chunk.id == id;
    });
    return found == chunks.end() ? nullptr : &*found;
}

} // namespace kestrel
