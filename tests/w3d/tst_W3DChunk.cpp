#include "w3d/W3DChunk.h"
#include "w3d/W3DTypedChunks.h"

#include "samples/W3DWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

using namespace kestrel;
using namespace kestrel::samples;

namespace {

std::unique_ptr<W3DChunk> Parse(const Bytes8& bytes)
{
    return W3DChunk::ParseFile(bytes);
}

/// The chunk tree below `chunk` in file order: leaves as "id(size)", containers as "id[children]",
/// ids in hex. Every child must name its container as its parent.
std::string Dump(const W3DChunk& chunk)
{
    std::string out;
    for (const auto& child : chunk.Children()) {
        EXPECT_EQ(child->Parent(), &chunk);
        char id[16];
        std::snprintf(id, sizeof id, "%X", child->Id());
        out += (out.empty() ? "" : " ") + std::string(id) +
               (child->IsContainer() ? "[" + Dump(*child) + "]" : "(" + std::to_string(child->Size()) + ")");
    }
    return out;
}

} // namespace

TEST(W3DChunk, TheTreeFollowsTheFileAndTheContainerBitsOfUnknownIds)
{
    const auto root = Parse(Cat({Chunk(0x55, {1, 2, 3}), Container(0x100, {Chunk(0x77, {9})}), Chunk(0x55, {4})}));
    EXPECT_EQ(Dump(*root), "55(3) 100[77(1)] 55(1)");
    EXPECT_EQ(root->FindChild(0x100)->Size(), 9u);
    EXPECT_EQ(root->CountChildren(0x55), 2u);
    EXPECT_EQ(root->FindChild(0x55, 1), root->Children()[2].get());
    EXPECT_EQ(root->FindChild(0x55, 2), nullptr);
    EXPECT_EQ(root->FindChild(0x99), nullptr);
    EXPECT_EQ(Dump(*Parse({})), "");

    // A chunk of size zero is an empty container and the next one follows its header; a typed
    // id stored as a container copies no record.
    const auto empty = Parse(Cat({Chunk(0x1F, {}), Chunk(0x32, CString("a.tga"))}));
    EXPECT_EQ(Dump(*empty), "1F[] 32(6)");
    EXPECT_EQ(empty->FindChild<W3DMeshHeader3Chunk>()->Get().vertexCount, 0u);
    EXPECT_EQ(empty->FindChild<W3DTextureNameChunk>()->Get(), "a.tga");

    // Chunk F3F is an empty leaf whose payload is skipped.
    const Bytes8 inner = Chunk(0x02, ByteWriter().Vec3(1, 1, 1));
    EXPECT_EQ(Dump(*Parse(Cat({ChunkWithSize(0xF3F, static_cast<std::uint32_t>(inner.size()) | 0x80000000u, inner),
                               Chunk(0x33, {1})}))),
              "F3F(0) 33(1)");
}

TEST(W3DChunk, ListsHoldTheWholeElementsOfTheirPayload)
{
    const Bytes8 thirtyBytes = ByteWriter().Vec3(1, 2, 3).Vec3(4, 5, 6).Zeros(6);
    const Bytes8 ids = ByteWriter().U32(7).U32(0xFFFFFFFF).Zeros(3);
    const auto root = Parse(Cat({Chunk(0x02, thirtyBytes), Chunk(0x49, ids), Chunk(0x102, Bytes8(59, 0))}));
    const auto& vertices = root->FindChild<W3DVerticesChunk>()->Get();
    ASSERT_EQ(vertices.size(), 2u);
    EXPECT_FLOAT_EQ(vertices[1].z, 6.0f);
    const auto& textureIds = root->FindChild<W3DTextureIdsChunk>()->Get();
    ASSERT_EQ(textureIds.size(), 2u);
    EXPECT_EQ(textureIds[1].value, 0xFFFFFFFFu);
    EXPECT_TRUE(root->FindChild<W3DPivotsChunk>()->Get().empty());
}

TEST(W3DChunk, StringsEndAtTheirFirstNulOrLoseTheLastByte)
{
    const auto root = Parse(Cat({Chunk(0x32, {'r', 'o', 'c', 'k', '.', 't', 'g', 'a'}),
                                    Chunk(0x2C, {'M', 0, 'X', 'Y'}), Chunk(0x32, {'Z'})}));
    EXPECT_EQ(root->FindChild<W3DTextureNameChunk>(0)->Get(), "rock.tg");
    EXPECT_EQ(root->FindChild<W3DVertexMaterialNameChunk>()->Get(), "M");
    EXPECT_EQ(root->FindChild<W3DTextureNameChunk>(1)->Get(), "");
}

TEST(W3DChunk, RecordsAreReadFieldByFieldAndLongerPayloadsAccepted)
{
    W3DMeshDesc mesh = UnitQuad("BODY");
    mesh.containerName = "TANKCONTAINER16C"; // exactly 16 characters: no NUL in the field
    const auto root = Parse(Cat({MeshChunk(mesh),
                                    HierarchyChunk("SKL", {{"ROOTTRANSFORM", 0xFFFFFFFF, {1, 2, 3}, {0.5f, 0.5f, 0.5f, 0.5f}}}),
                                    HLodChunk("TANK", "TANKSKL", {{3, "TANK.BODY"}}),
                                    Chunk(0x2D, ByteWriter().U32(1).Raw({10, 20, 30, 0, 1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0}).F32(2).F32(0.5f).F32(0.25f).Zeros(8))}));
    const auto& header = root->FindChild(W3D_CHUNK_MESH)->FindChild<W3DMeshHeader3Chunk>()->Get();
    EXPECT_EQ(std::tuple(header.meshName, header.containerName, header.triangleCount, header.vertexCount, header.faceChannels),
              std::tuple(std::string("BODY"), std::string("TANKCONTAINER16C"), 2u, 4u, 1u));

    const W3DChunk* hierarchy = root->FindChild(W3D_CHUNK_HIERARCHY);
    const auto& pivot = hierarchy->FindChild<W3DPivotsChunk>()->Get().at(0);
    EXPECT_EQ(std::tuple(pivot.name, pivot.parentIndex, pivot.translation.y, pivot.rotation[3],
                         hierarchy->FindChild<W3DHierarchyHeaderChunk>()->Get().pivotCount),
              std::tuple(std::string("ROOTTRANSFORM"), W3DPivot::NoParent, 2.0f, 0.5f, 1u));

    const W3DChunk* hlod = root->FindChild(W3D_CHUNK_HLOD);
    const W3DChunk* lodArray = hlod->FindChild(W3D_CHUNK_HLOD_LOD_ARRAY);
    const auto& subObject = lodArray->FindChild<W3DHLodSubObjectChunk>()->Get();
    EXPECT_EQ(std::tuple(hlod->FindChild<W3DHLodHeaderChunk>()->Get().hierarchyName,
                         lodArray->FindChild<W3DHLodSubObjectArrayHeaderChunk>()->Get().modelCount, subObject.boneIndex,
                         subObject.name),
              std::tuple(std::string("TANKSKL"), 1u, 3u, std::string("TANK.BODY")));

    const auto& material = root->FindChild<W3DVertexMaterialInfoChunk>()->Get();
    EXPECT_EQ(std::tuple(int(material.ambient.green), int(material.emissive.blue), material.opacity), std::tuple(20, 9, 0.5f));
}

TEST(W3DChunk, DamagedFilesFailWithTheChunkError)
{
    const Bytes8 vertex = Chunk(0x02, ByteWriter().Vec3(1, 1, 1));
    const std::vector<std::pair<const char*, Bytes8>> damaged{
        {"header cut short", Cat({vertex, Bytes8{1, 2, 3, 4, 5}})},
        {"size beyond the file", ChunkWithSize(0x02, 13, ByteWriter().Vec3(1, 1, 1))},
        {"child larger than its container", ChunkWithSize(0x00, 0x80000000u | 20, Cat({ChunkWithSize(0x02, 40, Bytes8(12, 0))}))},
        {"size beyond the file in the skipped chunk", ChunkWithSize(0xF3F, 100, {})},
        {"mesh header shorter than 116 bytes", Chunk(0x1F, Bytes8(115, 0))},
        {"sub-object shorter than 36 bytes", Chunk(0x704, Bytes8(35, 0))},
    };
    for (const auto& [what, bytes] : damaged)
        EXPECT_THROW(Parse(bytes), W3DChunkError) << what;
}

TEST(W3DChunk, NestingBeyondTheDepthLimitFailsInsteadOfExhaustingTheStack)
{
    // `levels` containers, each holding the next, around an empty chunk.
    const auto nested = [](std::uint32_t levels) {
        ByteWriter writer;
        for (std::uint32_t level = 0; level < levels; ++level)
            writer.U32(0x00).U32((8 * (levels - level)) | 0x80000000u);
        return writer.U32(0x02).U32(0).Get();
    };
    EXPECT_NO_THROW(Parse(nested(W3DChunk::MaxDepth - 1)));
    EXPECT_THROW(Parse(nested(100000)), W3DChunkError);
}

TEST(W3DChunk, KnownContainersAreReadAsContainersWhateverTheirBitSays)
{
    const Bytes8 pivots = ByteWriter().Fixed("ROOT", 16).U32(0xFFFFFFFFu).Zeros(40);
    const Bytes8 hierarchy = ChunkWithSize(0x100, 8 + 60, Chunk(0x102, pivots));
    // A payload that is no chunk sequence keeps such a chunk the leaf its bit says; unknown ids
    // still follow their bit.
    const Bytes8 odd = ChunkWithSize(0x2B, 3, {1, 2, 3});
    const auto root = Parse(Cat({hierarchy, odd, ChunkWithSize(0x77, 8, Chunk(0x102, {}))}));
    EXPECT_EQ(Dump(*root), "100[102(60)] 2B(3) 77(8)");
    EXPECT_EQ(root->Children()[0]->FindChild<W3DPivotsChunk>()->Get().at(0).name, "ROOT");
}
