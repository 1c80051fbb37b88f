#include "ToolTestSupport.h"

#include "samples/ImageFileWriters.h"
#include "samples/W3DWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

using namespace kestrel::samples;
using namespace kestrel::test;

using testing::HasSubstr;

namespace {

/// Runs "w3d" without a game folder unless the arguments name one.
class W3dCommand : public ToolTest
{
protected:
    ToolRun W3d(std::vector<std::string> args)
    {
        args.insert(args.begin(), "w3d");
        if (std::none_of(args.begin(), args.end(), [](const std::string& a) { return a.rfind("--game-folder", 0) == 0; }))
            args.push_back("--game-folder=none");
        return Run(std::move(args));
    }

    /// A mod archive with a textured tank on a skeleton of its own entry, and a game folder with
    /// one texture on disk.
    void WriteTank()
    {
        W3DMeshDesc hull = UnitQuad("HULL");
        hull.containerName = "TANK";
        hull.materialPass = true;
        hull.textureIds = {0, 2};
        hull.textureNames = {"inarchive.tga", "disk.tga", "missing.tga"};
        W3DMeshDesc broken = UnitQuad("BROKEN");
        broken.headerVertexCount = 9;
        const Bytes8 model = Cat({HLodChunk("TANK", "TANKSKL", {{1, "TANK.HULL"}}), MeshChunk(hull), MeshChunk(broken)});
        const Bytes8 skeleton = HierarchyChunk("TANKSKL", {{"ROOT", 0xFFFFFFFFu, {0, 0, 0}, {0, 0, 0, 1}},
                                                           {"TURRET", 0, {0, 0, -8}, {0, 0, 0, 1}}});
        BigArchiveBuilder()
            .Add("art\\w3d\\tank.w3d", model)
            .Add("art\\w3d\\tankskl.w3d", skeleton)
            .Add("art\\textures\\inarchive.dds", TinyDxt1Dds(0xF800))
            .Add("art\\w3d\\bad.w3d", Bytes8(model.begin(), model.end() - 1))
            .WriteTo(folder / "mod.big");
        WriteFileBytes(folder / "game/Art/Textures/disk.tga", TinyTga(1, 2, 3));
    }
};

} // namespace

TEST_F(W3dCommand, SummarisesMeshesSkeletonTexturesAndBounds)
{
    WriteTank();
    const auto run = W3d({"mod.big", "art/w3d/TANK.w3d", "--game-folder", "game/"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string game = (folder / "game/").string();
    EXPECT_EQ(run.out, "model:      art\\w3d\\tank.w3d\n"
                       "game:       Generals, installed in " + game + "\n"
                       "hierarchy:  TANKSKL from art\\w3d\\TANKSKL.w3d (2 pivots)\n"
                       "meshes:     2 (1 skipped: parts missing or inconsistent)\n"
                       "  HULL: 4 vertices, 2 triangles\n"
                       "textures:   3\n"
                       "  inarchive.tga: archive mod.big: art\\textures\\inarchive.dds\n"
                       "  disk.tga: disk " + game + "Art/Textures/disk.tga\n"
                       "  missing.tga: not found\n"
                       "bounds:     (0, 0, -8) to (1, 1, -8)\n"
                       "extent:     8\n");
}

// The text report above proves what is found; the JSON report only has to carry it.
TEST_F(W3dCommand, PrintsJsonAndReportsEntriesThatAreNoModel)
{
    WriteTank();
    const auto json = W3d({"--json", "mod.big", "art\\w3d\\tank.w3d"});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_THAT(json.out, HasSubstr("\"hierarchy\": {\"name\": \"TANKSKL\", \"source\": \"archive\", \"entry\": \"art\\\\w3d\\\\TANKSKL.w3d\", \"pivots\": 2}"));
    EXPECT_THAT(json.out, HasSubstr("\"bounds\": {\"min\": [0, 0, -8], \"max\": [1, 1, -8]}"));
    EXPECT_TRUE(IsValidJson(json.out)) << json.out;

    const auto bad = W3d({"mod.big", "art\\w3d\\bad.w3d"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_THAT(bad.err, HasSubstr("is not a valid W3D model"));
    EXPECT_EQ(W3d({"mod.big", "art\\w3d\\none.w3d"}).status, 2);
}

TEST_F(W3dCommand, ListsShaderMaterialTexturesAndTheAnimationAnEntryHolds)
{
    W3DMeshDesc wall = UnitQuad("WALL");
    wall.materialPass = true;
    wall.shaderDiffuseTextures = {"guwall.tga", "gumissing.tga"};
    wall.shaderMaterialIds = {0, 1};
    const Bytes8 walk = CompressedAnimationChunk("TANK.WALK", "TANKSKL", 40, 30,
                                                   {{1, 0, {0, 39}, {0, 4}}, {1, 15, {0}, {1}}}, false);
    BigArchiveBuilder()
        .Add("art\\w3d\\gu\\guhouse.w3d", MeshChunk(wall))
        .Add("art\\compiledtextures\\gu\\guwall.dds", TinyDxt1Dds(0xF800))
        .Add("art\\w3d\\tank_walk.w3d", walk)
        .Add("art\\w3d\\tank_bad.w3d", CompressedAnimationChunk("TANK.BAD", "TANKSKL", 40, 0, {}, false))
        .WriteTo(folder / "mod.big");
    const auto text = W3d({"mod.big", "art/w3d/gu/guhouse.w3d"});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_THAT(text.out, HasSubstr("shader materials: 2\n"
                                    "  NormalMapped.fx: guwall.tga (archive mod.big: art\\compiledtextures\\gu\\guwall.dds)\n"
                                    "  NormalMapped.fx: gumissing.tga (not found)\n"));
    const auto animation = W3d({"mod.big", "art/w3d/tank_walk.w3d"});
    EXPECT_EQ(animation.status, 0) << animation.err;
    EXPECT_THAT(animation.out, HasSubstr("animation:  TANK.WALK of TANKSKL, 40 frames at 30 per second, compressed, 1 channels (1 more not played)\n"));
    const auto bad = W3d({"--json", "mod.big", "art/w3d/tank_bad.w3d"});
    EXPECT_THAT(bad.out, HasSubstr("\"animation\": null,\n  \"animationError\": \"damaged W3D animation: a frame rate of 0\""));
}

TEST_F(W3dCommand, JsonStaysValidAndBoundsFiniteWhenVerticesAreNotNumbers)
{
    W3DMeshDesc quad = UnitQuad("QUAD");
    quad.positions[0] = {std::numeric_limits<float>::quiet_NaN(), 0, 0};
    quad.positions[2] = {1, 1, std::numeric_limits<float>::infinity()};
    BigArchiveBuilder().Add("damaged.w3d", MeshChunk(quad)).WriteTo(folder / "mod.big");
    const auto run = W3d({"--json", "mod.big", "damaged.w3d"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(IsValidJson(run.out)) << run.out;
    EXPECT_FALSE(IsValidJson("{\"extent\": nan}")) << "the check must reject what the report once held";
    EXPECT_THAT(run.out, HasSubstr("\"bounds\": {\"min\": [0, 0, 0], \"max\": [1, 1, 0]}"));
    EXPECT_THAT(run.out, HasSubstr("\"extent\": 1,\n"));
}
