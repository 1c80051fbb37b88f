#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

/// One chunk of a RIFF file: its four-character id, where its header starts and its body, which
/// is a view into the file's bytes.
struct RiffChunk
{
    std::string id;
    size_t offset = 0;
    std::span<const std::uint8_t> body;
    /// The header promised more bytes than the file holds; `body` is what is there.
    bool cutShort = false;
};

/// Lists the chunks of a RIFF file whose form type is `formType` ("WAVE"). Chunks are looked for
/// up to the end the RIFF header declares, or the file's end when that declaration overshoots; a
/// chunk body may run to the file's end either way, since writers often get the outer size wrong.
/// Odd-sized bodies are followed by a pad byte. False with a message naming the offset when the
/// file is no RIFF file of that form.
bool ReadRiffChunks(std::span<const std::uint8_t> bytes, std::string_view formType,
                    std::vector<RiffChunk>& chunks, std::string& error);

/// The first chunk with this id, or null.
const RiffChunk* FindRiffChunk(const std::vector<RiffChunk>& chunks, std::string_view id);

} // namespace kestrel
