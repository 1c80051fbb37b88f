#include "render/RenderTypes.h"

namespace kestrel {

int PrimitiveCount(PrimitiveType type, int vertexCount)
{
    int count = 0;
    switch (type) {
    case PrimitiveType::LineList: count = vertexCount / 2; break;
    case PrimitiveType::LineStrip: count = vertexCount - 1; break;
    case PrimitiveType::TriangleList: count = vertexCount / 3; break;
    case PrimitiveType::TriangleStrip:
    case PrimitiveType::TriangleFan: count = vertexCount - 2; break;
    }
    return count > 0 ? count : 0;
}

namespace {

int TexSetCountFromFlags(std::uint32_t flags)
{
    // The highest set-count bit wins.
    if (flags & VertexTexSets4)
        return 4;
    if (flags & VertexTexSets3)
        return 3;
    if (flags & VertexTexSets2)
        return 2;
    return (flags & VertexTexSets1) ? 1 : 0;
}

int TexSetSizeFromFlags(std::uint32_t flags, int set)
{
    if (flags & VertexTexSizeBits(set, VertexTexSize1))
        return 1;
    if (flags & VertexTexSizeBits(set, VertexTexSize3))
        return 3;
    if (flags & VertexTexSizeBits(set, VertexTexSize4))
        return 4;
    return 2;
}

void ComputeOffsets(VertexLayout& layout)
{
    int offset = 3 * 4;
    if (layout.hasNormal) {
        layout.normalOffset = offset;
        offset += 3 * 4;
    }
    if (layout.hasColour) {
        layout.colourOffset = offset;
        offset += 4;
    }
    if (layout.hasSecondary) {
        layout.secondaryOffset = offset;
        offset += 4;
    }
    for (int set = 0; set < layout.texSetCount; ++set) {
        layout.texSetOffset[set] = offset;
        offset += 4 * layout.texSetSize[set];
    }
    layout.size = offset;
}

} // namespace

VertexLayout DecodeVertexFormat(std::uint32_t flags)
{
    VertexLayout layout;
    layout.hasColour = (flags & VertexDiffuse) != 0;
    layout.hasSecondary = (flags & VertexSecondary) != 0;
    layout.hasNormal = (flags & VertexNormal) != 0;
    layout.texSetCount = TexSetCountFromFlags(flags);
    for (int set = 0; set < layout.texSetCount; ++set)
        layout.texSetSize[set] = TexSetSizeFromFlags(flags, set);
    ComputeOffsets(layout);
    return layout;
}

VertexLayout MakeVertexLayout(bool colour, bool secondary, bool normal, int texSetCount)
{
    VertexLayout layout;
    layout.hasColour = colour;
    layout.hasSecondary = secondary;
    layout.hasNormal = normal;
    layout.texSetCount = texSetCount < 0 ? 0 : (texSetCount > 4 ? 4 : texSetCount);
    ComputeOffsets(layout);
    return layout;
}

} // namespace kestrel
