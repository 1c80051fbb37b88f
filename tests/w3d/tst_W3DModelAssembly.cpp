#include "w3d/W3DModelAssembly.h"
#include "w3d/W3DModelCollector.h"

#include "samples/W3DWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <tuple>
#include <map>

using namespace kestrel;
using namespace kestrel::samples;

namespace {

const float Half = std::sqrt(0.5f);
// Quarter turns about the z and x axes (x, y, z, w).
const std::array<float, 4> QuarterTurnZ{0, 0, Half, Half};
const std::array<float, 4> QuarterTurnX{Half, 0, 0, Half};

struct Loaded
{
    W3DModelSummary summary;
    W3DModelCollector model;
};

std::unique_ptr<Loaded> Assemble(const Bytes8& bytes, const std::map<std::string, Bytes8>& archive = {},
                                 bool textures = true)
{
    auto loaded = std::make_unique<Loaded>();
    W3DAssemblyOptions options;
    options.texturesEnabled = textures;
    options.readArchiveEntry = [archive](const std::string& name) -> std::optional<std::vector<std::uint8_t>> {
        const auto found = archive.find(name);
        return found == archive.end() ? std::nullopt : std::optional(found->second);
    };
    loaded->summary = AssembleW3DModel(bytes, options, loaded->model);
    return loaded;
}

void ExpectVec(const std::array<float, 3>& actual, float x, float y, float z)
{
    EXPECT_NEAR(actual[0], x, 1e-5f);
    EXPECT_NEAR(actual[1], y, 1e-5f);
    EXPECT_NEAR(actual[2], z, 1e-5f);
}

// Root at (10, 0, 0) turned a quarter about z; its child one unit along its own x axis, turned a
// quarter about x. A point (1, 0, 0) of a mesh on the child ends at (10, 2, 0).
std::vector<W3DPivotDesc> TwoBoneSkeleton()
{
    return {{"ROOTTRANSFORM", 0xFFFFFFFFu, {10, 0, 0}, QuarterTurnZ}, {"ARM", 0, {1, 0, 0}, QuarterTurnX}};
}

} // namespace

TEST(W3DModelAssembly, MeshesOfTheModelsOwnHierarchyStandAtTheirBones)
{
    W3DMeshDesc arm = UnitQuad("ARMMESH");
    arm.containerName = "ROBOT";
    const auto loaded = Assemble(Cat({HierarchyChunk("ROBOTSKL", TwoBoneSkeleton()),
                                         HLodChunk("ROBOT", "OTHERSKL", {{1, "ROBOT.ARMMESH"}}), MeshChunk(arm)}));
    ASSERT_TRUE(loaded->summary.loaded) << loaded->summary.error;
    EXPECT_EQ(std::tuple(loaded->summary.hierarchySource, loaded->summary.hierarchyName, loaded->summary.pivotCount),
              std::tuple(W3DModelSummary::HierarchySource::Own, std::string("ROBOTSKL"), size_t(2)));
    const auto& group = loaded->model.Groups().at(0);
    EXPECT_EQ(group.name, "ARMMESH");
    // Child local: x stays x, y -> z. Root: x -> y, y -> -x, then +10 on x. Child origin: (10, 1, 0).
    ExpectVec(group.vertices[0].position, 10, 1, 0);
    ExpectVec(group.vertices[1].position, 10, 2, 0);
    ExpectVec(group.vertices[3].position, 10, 1, 1);
    // Normals turn with the bone but do not move: +z -> -y under the child, then -y -> +x.
    ExpectVec(group.vertices[0].normal, 1, 0, 0);
    EXPECT_FLOAT_EQ(loaded->summary.extent, 10.0f);
}

TEST(W3DModelAssembly, AnHlodFindsItsSkeletonInTheArchiveOrDrawsMeshesInTheirOwnCoordinates)
{
    const auto armModel = [](const std::string& container, const std::string& skeleton) {
        W3DMeshDesc arm = UnitQuad("ARMMESH");
        arm.containerName = container;
        return Cat({HLodChunk(container, skeleton, {{1, container + ".ARMMESH"}}), MeshChunk(arm)});
    };
    const Bytes8 model = armModel("ROBOT", "ROBOTSKL");
    const auto withSkeleton =
        Assemble(model, {{"art\\w3d\\ROBOTSKL.w3d", HierarchyChunk("ROBOTSKL", TwoBoneSkeleton())}});
    EXPECT_EQ(std::tuple(withSkeleton->summary.hierarchySource, withSkeleton->summary.hierarchyEntry),
              std::tuple(W3DModelSummary::HierarchySource::ArchiveEntry, std::string("art\\w3d\\ROBOTSKL.w3d")));
    ExpectVec(withSkeleton->model.Groups().at(0).vertices[1].position, 10, 2, 0);

    const auto withoutSkeleton = Assemble(model);
    ASSERT_TRUE(withoutSkeleton->summary.loaded);
    EXPECT_EQ(std::tuple(withoutSkeleton->summary.hierarchySource, withoutSkeleton->summary.hierarchyEntry),
              std::tuple(W3DModelSummary::HierarchySource::None, std::string("art\\w3d\\ROBOTSKL.w3d")));
    ExpectVec(withoutSkeleton->model.Groups().at(0).vertices[1].position, 1, 0, 0);

    // Bfme keeps skeletons in the two-letter folder of their name, and the exporter of a real one
    // left the hierarchy's container bit clear.
    const Bytes8 skeleton = WithoutContainerBit(HierarchyChunk("EUTWIN1_SKL", TwoBoneSkeleton()));
    const auto bfme = Assemble(armModel("EUTWIN1", "EUTWIN1_SKL"),
                               {{"art\\w3d\\EU\\EUTWIN1_SKL.w3d", skeleton},
                                {"art\\w3d\\EUTWIN1_SKL.w3d", HierarchyChunk("EUTWIN1_SKL", {})}});
    ASSERT_TRUE(bfme->summary.loaded) << bfme->summary.error;
    EXPECT_EQ(std::tuple(bfme->summary.hierarchyEntry, bfme->summary.pivotCount),
              std::tuple(std::string("art\\w3d\\EU\\EUTWIN1_SKL.w3d"), size_t(2)));
    ExpectVec(bfme->model.Groups().at(0).vertices[1].position, 10, 2, 0);
}

TEST(W3DModelAssembly, TheLastMatchingSubObjectDecidesAndOnlyExactNamesMatch)
{
    W3DMeshDesc body = UnitQuad("BODY");
    body.containerName = "TANK";
    const std::vector<W3DPivotDesc> pivots{{"ROOT", 0xFFFFFFFFu, {5, 0, 0}}, {"TURRET", 0xFFFFFFFFu, {0, 7, 0}}};
    const auto later = Assemble(Cat({HierarchyChunk("S", pivots),
                                        HLodChunk("TANK", "S", {{0, "TANK.BODY"}, {9, "TANK.BODY"}, {1, "TANK.BODY"}}),
                                        MeshChunk(body)}));
    ExpectVec(later->model.Groups().at(0).vertices[0].position, 0, 7, 0);
    const auto caseDiffers =
        Assemble(Cat({HierarchyChunk("S", pivots), HLodChunk("TANK", "S", {{0, "tank.BODY"}}), MeshChunk(body)}));
    ExpectVec(caseDiffers->model.Groups().at(0).vertices[0].position, 0, 0, 0);
}

TEST(W3DModelAssembly, InfluencedVerticesAreCarriedByTheirBoneAfterTheMeshTransform)
{
    W3DMeshDesc skin = UnitQuad("SKIN");
    skin.influences = {1, 0, 7, 1}; // bone 7 does not exist: that vertex keeps its place
    const auto loaded = Assemble(Cat({HierarchyChunk("S", TwoBoneSkeleton()), MeshChunk(skin)}));
    const auto& vertices = loaded->model.Groups().at(0).vertices;
    ExpectVec(vertices[0].position, 10, 1, 0);
    ExpectVec(vertices[1].position, 10, 1, 0);
    ExpectVec(vertices[2].position, 1, 1, 0);
    ExpectVec(vertices[3].position, 10, 1, 1);
    ExpectVec(vertices[0].normal, 1, 0, 0);
    ExpectVec(vertices[2].normal, 0, 0, 1);

    skin.influences = {1, 1, 1}; // one short of the vertex count: ignored
    const auto ignored = Assemble(Cat({HierarchyChunk("S", TwoBoneSkeleton()), MeshChunk(skin)}));
    ExpectVec(ignored->model.Groups().at(0).vertices[1].position, 1, 0, 0);
}

TEST(W3DModelAssembly, AFailedLoadLeavesAnEmptyModel)
{
    const Bytes8 good = MeshChunk(UnitQuad());
    const std::vector<std::pair<const char*, Bytes8>> failing{
        {"pivot whose parent follows it", Cat({good, HierarchyChunk("S", {{"A", 0xFFFFFFFFu, {}, {0, 0, 0, 1}}, {"B", 1, {}, {0, 0, 0, 1}}})})},
        {"truncated file", Bytes8(good.begin(), good.end() - 5)},
        {"damaged skeleton entry", Cat({HLodChunk("H", "SKL", {}), good})},
    };
    for (const auto& [what, bytes] : failing) {
        const auto loaded = Assemble(bytes, {{"art\\w3d\\SKL.w3d", Bytes8{1, 2, 3}}});
        EXPECT_FALSE(loaded->summary.loaded) << what;
        EXPECT_FALSE(loaded->summary.error.empty()) << what;
        EXPECT_TRUE(loaded->model.Groups().empty()) << what;
        EXPECT_EQ(loaded->summary.extent, 0.0f) << what;
    }
}

TEST(W3DModelAssembly, IncompleteOrInconsistentMeshesAreSkippedButStillCounted)
{
    W3DMeshDesc wrongCount = UnitQuad("WRONG");
    wrongCount.headerVertexCount = 5;
    W3DMeshDesc badIndex = UnitQuad("BADINDEX");
    badIndex.triangles[1] = {0, 2, 4};
    W3DMeshDesc cutIndex = UnitQuad("CUT");
    cutIndex.triangles[1] = {0, 65538, 65539}; // low 16 bits: 2, 3
    W3DMeshDesc textured = UnitQuad("TEXTURED");
    textured.materialPass = true;
    textured.textureIds = {0};
    textured.textureNames = {"a.tga"};
    textured.vertexMaterials = {{"UNUSED"}, {"SHINY", {10, 20, 30}, {40, 50, 60}, {70, 80, 90}, 0.5f}};
    textured.vertexMaterialIds = {1};
    const Bytes8 noNormals = Container(0x00, {Chunk(0x1F, ByteWriter().Zeros(116)), Chunk(0x02, {}), Chunk(0x20, {})});
    const auto loaded = Assemble(Cat({MeshChunk(wrongCount), noNormals, MeshChunk(badIndex), MeshChunk(cutIndex),
                                         MeshChunk(textured)}));
    EXPECT_EQ(std::tuple(loaded->summary.meshCount, loaded->summary.skippedMeshCount), std::tuple(size_t(5), size_t(3)));
    ASSERT_EQ(loaded->model.Groups().size(), 2u);
    const auto& cut = loaded->model.Groups()[0];
    EXPECT_EQ(cut.indices, (std::vector<std::uint16_t>{0, 1, 2, 0, 2, 3}));
    // Material names count every top-level mesh, skipped ones included; the vertex material colours
    // a textured material.
    const auto& desc = loaded->model.Materials().at(0).desc;
    EXPECT_EQ(std::tuple(desc.name, desc.ambient, desc.diffuse, desc.emissive),
              std::tuple(std::string("Mesh4Mat0"), 0x7F0A141Eu, 0x7F28323Cu, 0x7F46505Au));
}

// Which texture draws which triangles: per-triangle texture ids, one id for the whole mesh, vertex
// materials and the shader materials of later games.
TEST(W3DModelAssembly, TextureIdsVertexAndShaderMaterialsSplitTheMeshIntoRanges)
{
    const auto fiveTriangles = [](W3DMeshDesc& mesh) {
        mesh.positions.push_back({2, 2, 0});
        mesh.normals.push_back({0, 0, 1});
        mesh.triangles = {{0, 1, 2}, {0, 2, 3}, {1, 2, 4}, {2, 3, 4}, {0, 1, 4}};
        mesh.textureNames = {"grass.tga", "rock.tga"};
    };
    const auto twoNames = [](W3DMeshDesc& mesh) {
        mesh.textureNames = {"first.tga", "second.tga"};
        mesh.texCoords = {{0, 0}, {1, 0}, {1, 0.25f}, {0, 1}};
    };
    const auto shiny = [](W3DMeshDesc& mesh) {
        mesh.vertexMaterials = {{"UNUSED"}, {"SHINY", {10, 20, 30}, {40, 50, 60}, {70, 80, 90}, 0.5f}};
        mesh.vertexMaterialIds = {1};
    };
    const auto shaders = [&](W3DMeshDesc& mesh) {
        twoNames(mesh);
        mesh.textureNames.clear();
        mesh.shaderDiffuseTextures = {"eu_wall.tga", "eu_roof.tga"};
    };
    const struct
    {
        const char* what;
        std::function<void(W3DMeshDesc&)> setUp;
        std::vector<std::uint32_t> textureIds, shaderIds;
        bool textures;
        const char* ranges;
        float flippedV = -1; // vertex 2's stored v of 0.25 as drawn, or -1 for unchecked
    } cases[] = {
        {"one id per triangle", fiveTriangles, {0, 0, 1, 0, 0}, {}, true,
         "0-1:Mesh0Mat0#0 2-2:Mesh0Mat1#1 3-4:Mesh0Mat0#0 | Mesh0Mat0=grass.tga Mesh0Mat1=rock.tga"},
        // A list shorter than the triangles leaves the rest without a material instead of reading on.
        {"a short list", fiveTriangles, {1, 0, 0xFFFFFFFFu}, {}, true,
         "0-0:Mesh0Mat1#1 1-1:Mesh0Mat0#0 2-2:Mesh0Mat-1#-1 3-4:#-1 | Mesh0Mat0=grass.tga Mesh0Mat1=rock.tga"},
        {"a single id draws the whole mesh with the last name", twoNames, {0}, {}, true,
         "0-1:Mesh0Mat1#1 | Mesh0Mat0=first.tga Mesh0Mat1=second.tga", 0.75f},
        {"a negative first id keeps the vertex material's name", twoNames, {0xFFFFFFFFu}, {}, true, "0-1:Mat0#-1 |"},
        {"the Textures option off", twoNames, {0}, {}, false, "0-1:Mat0#-1 |", 0},
        {"an untextured vertex material names the range", shiny, {}, {}, true, "0-1:SHINY#-1 |"},
        {"no such vertex material", [](W3DMeshDesc& mesh) { mesh.vertexMaterialIds = {5}; }, {0}, {}, true,
         "0-1:Mat0#-1 |"},
        {"a shader material for the whole mesh", shaders, {}, {1}, true, "0-1:Mesh0Mat0#0 | Mesh0Mat0=eu_roof.tga", 0.75f},
        {"shader materials per triangle", shaders, {}, {1, 0}, true,
         "0-0:Mesh0Mat1#1 1-1:Mesh0Mat0#0 | Mesh0Mat0=eu_wall.tga Mesh0Mat1=eu_roof.tga"},
        {"shader materials with the Textures option off", shaders, {}, {1}, false, "0-1:Mat0#-1 |"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        W3DMeshDesc mesh = UnitQuad();
        mesh.materialPass = true;
        c.setUp(mesh);
        mesh.textureIds = c.textureIds;
        mesh.shaderMaterialIds = c.shaderIds;
        const auto loaded = Assemble(MeshChunk(mesh), {}, c.textures);
        ASSERT_TRUE(loaded->summary.loaded) << loaded->summary.error;
        const auto& group = loaded->model.Groups().at(0);
        std::string ranges;
        for (const auto& range : group.ranges)
            ranges += std::to_string(range.first) + "-" + std::to_string(range.last) + ":" + range.materialName + "#" +
                      std::to_string(range.materialIndex) + " ";
        ranges += "|";
        for (const auto& material : loaded->model.Materials())
            ranges += " " + material.desc.name + "=" + material.desc.textureNames[0];
        EXPECT_EQ(ranges, c.ranges);
        // Texture coordinates (even a shader material's, stored in the pass) are flipped like a
        // stage's, and only taken with textures on.
        if (c.flippedV >= 0) {
            EXPECT_FLOAT_EQ(group.vertices[2].texCoord[0], c.flippedV > 0 ? 1.0f : 0.0f);
            EXPECT_FLOAT_EQ(group.vertices[2].texCoord[1], c.flippedV);
        }
    }
}

TEST(W3DModelAssembly, MeshesWithoutTrianglesAreAddedWithoutRangesAndExtentCoversAllMeshes)
{
    W3DMeshDesc empty;
    empty.meshName = "EMPTY";
    W3DMeshDesc far = UnitQuad("FAR");
    for (auto& p : far.positions)
        p.z -= 12.5f;
    const auto loaded = Assemble(Cat({MeshChunk(empty), MeshChunk(UnitQuad()), MeshChunk(far)}));
    ASSERT_EQ(loaded->model.Groups().size(), 3u);
    EXPECT_TRUE(loaded->model.Groups()[0].ranges.empty());
    const auto& ranges = loaded->model.Groups()[1].ranges;
    ASSERT_EQ(ranges.size(), 1u);
    EXPECT_EQ(std::tuple(ranges[0].first, ranges[0].last, ranges[0].materialName), std::tuple(0, 1, std::string()));
    MeshBounds bounds;
    ASSERT_TRUE(loaded->model.GetBounds(2, bounds));
    ExpectVec(bounds.min, 0, 0, -12.5f);
    ExpectVec(bounds.max, 1, 1, -12.5f);
    EXPECT_FLOAT_EQ(loaded->summary.extent, 12.5f);
}
