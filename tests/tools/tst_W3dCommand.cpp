#include "ToolTestSupport.h"

#include "support/TestImages.h"
#include "support/W3DWriter.h"

#include <gtest/gtest.h>

#include <limits>

using namespace kestrel::test;

namespace {

/// A mod archive with a textured tank on a skeleton of its own entry, and a game folder with one
/// texture on disk.
struct TankArchive
{
    TempFolder folder;

    TankArchive()
    {
        W3DMeshDesc hull = UnitQuad("HULL");
        hull.containerName = "TANK";
        hull.materialPass = true;
        hull.textureIds = {0, 2};
        hull.textureNames = {"inarchive.tga", "disk.tga", "missing.tga"};
        W3DMeshDesc broken = UnitQuad("BROKEN");
        broken.headerVertexCount = 9;
        const ByteList model = Concat({HLodChunk("TANK", "TANKSKL", {{1, "TANK.HULL"}}), MeshChunk(hull), MeshChunk(broken)});
        const ByteList skeleton = HierarchyChunk("TANKSKL", {{"ROOT", 0xFFFFFFFFu, {0, 0, 0}, {0, 0, 0, 1}},
                                                             {"TURRET", 0, {0, 0, -8}, {0, 0, 0, 1}}});
        BigArchiveBuilder()
            .Add("art\\w3d\\tank.w3d", model)
            .Add("art\\w3d\\tankskl.w3d", skeleton)
            .Add("art\\textures\\inarchive.dds", TinyDxt1Dds(0xF800))
            .Add("art\\w3d\\bad.w3d", ByteList(model.begin(), model.end() - 1))
            .WriteTo(folder / "mod.big");
        WriteFileBytes(folder / "game/Art/Textures/disk.tga", TinyTga(1, 2, 3));
    }
};

} // namespace

TEST(W3dCommand, SummarisesMeshesSkeletonTexturesAndBounds)
{
    TankArchive tank;
    const auto run = RunTool(tank.folder.Path(), {"w3d", "mod.big", "art/w3d/TANK.w3d", "--game-folder", "game/"});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string game = (tank.folder / "game/").string();
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

TEST(W3dCommand, PrintsJsonAndReportsEntriesThatAreNoModel)
{
    TankArchive tank;
    const auto json = RunTool(tank.folder.Path(), {"w3d", "--json", "mod.big", "art\\w3d\\tank.w3d", "--game-folder=none"});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find("\"hierarchy\": {\"name\": \"TANKSKL\", \"source\": \"archive\", \"entry\": \"art\\\\w3d\\\\TANKSKL.w3d\", \"pivots\": 2}"),
              std::string::npos) << json.out;
    EXPECT_NE(json.out.find("{\"name\": \"HULL\", \"vertices\": 4, \"triangles\": 2}"), std::string::npos);
    EXPECT_NE(json.out.find("{\"name\": \"disk.tga\", \"found\": \"not found\"}"), std::string::npos);
    EXPECT_NE(json.out.find("\"bounds\": {\"min\": [0, 0, -8], \"max\": [1, 1, -8]}"), std::string::npos);
    EXPECT_TRUE(IsValidJson(json.out)) << json.out;

    const auto bad = RunTool(tank.folder.Path(), {"w3d", "mod.big", "art\\w3d\\bad.w3d", "--game-folder", "none"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("is not a valid W3D model"), std::string::npos) << bad.err;
    EXPECT_NE(bad.out.find("meshes:     0\n"), std::string::npos);

    EXPECT_EQ(RunTool(tank.folder.Path(), {"w3d", "mod.big", "art\\w3d\\none.w3d"}).status, 2);
}

TEST(W3dCommand, JsonStaysValidAndBoundsFiniteWhenVerticesAreNotNumbers)
{
    TempFolder folder;
    W3DMeshDesc quad = UnitQuad("QUAD");
    quad.positions[0] = {std::numeric_limits<float>::quiet_NaN(), 0, 0};
    quad.positions[2] = {1, 1, std::numeric_limits<float>::infinity()};
    BigArchiveBuilder().Add("damaged.w3d", MeshChunk(quad)).WriteTo(folder / "mod.big");
    const auto run = RunTool(folder.Path(), {"w3d", "--json", "mod.big", "damaged.w3d", "--game-folder=none"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(IsValidJson(run.out)) << run.out;
    EXPECT_FALSE(IsValidJson("{\"extent\": nan}")) << "the check must reject what the report once held";
    EXPECT_NE(run.out.find("\"bounds\": {\"min\": [0, 0, 0], \"max\": [1, 1, 0]}"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"extent\": 1\n"), std::string::npos) << run.out;
}
