#include "w3d/W3DPreviewModel.h"

#include "archive/CQuartoDoc.h"
#include "ini/CIniBlock.h"
#include "w3d/DocumentTextureArchives.h"

#include "samples/BigArchiveBuilder.h"
#include "support/FakeInstallPathProvider.h"
#include "support/FakePrompt.h"
#include "support/RecordingDevice.h"
#include "samples/ImageFileWriters.h"
#include "samples/W3DWriter.h"

#include <gtest/gtest.h>

using namespace kestrel;
using namespace kestrel::samples;
using namespace kestrel::test;

namespace {

/// A Zero Hour installation (its path recorded in another letter case) with a mod archive inside
/// its folder, Generals installed beside it.
struct ZeroHourInstallation : ::testing::Test
{
    TempFolder temp;
    FakePrompt prompt;
    FakeInstallPathProvider provider;
    RecordingDevice device;
    std::unique_ptr<CIniBlock> configuration;
    Bytes8 model;

    void SetUp() override
    {
        provider.paths = {{GameKind::Generals, (temp / "Generals").string() + "\\"},
                          {GameKind::ZeroHour, (temp / "ZERO HOUR").string() + "\\"}};
        BigArchiveBuilder().Add("Art\\Textures\\zhonly.tga", TinyTga(0, 255, 0)).WriteTo(temp / "Zero Hour/TexturesZH.big");
        BigArchiveBuilder().Add("art\\textures\\base.dds", TinyDxt1Dds(0xF800)).WriteTo(temp / "Generals/Textures.big");

        W3DMeshDesc mesh = UnitQuad("HULL");
        mesh.containerName = "TANK";
        mesh.materialPass = true;
        mesh.textureNames = {"zhonly.tga", "base.tga", "nowhere.tga"};
        mesh.textureIds = {0, 1};
        model = Cat({HLodChunk("TANK", "TANKSKL", {{0, "TANK.HULL"}}), MeshChunk(mesh)});
        const Bytes8 skeleton = HierarchyChunk("TANKSKL", {{"ROOT", 0xFFFFFFFFu, {0, 0, 30}, {0, 0, 0, 1}}});
        BigArchiveBuilder().Add("Art\\W3D\\Tank.w3d", model).Add("ART\\W3D\\TANKSKL.W3D", skeleton).WriteTo(temp / "Zero Hour/mod.big");

        configuration = std::make_unique<CIniBlock>();
        configuration->ParseText("Games\n  Generals\n    Lists\n    End\n  End\nEnd\n");
    }

    void Open(CQuartoDoc& document, bool textures)
    {
        const TextureArchiveContext context{configuration.get(), textures, &provider, &prompt};
        document.SetTextureArchiveOpener([context](CQuartoDoc& d) { OpenDocumentTextureArchives(d, context); });
        ASSERT_TRUE(document.OnOpenDocument(temp / "Zero Hour/mod.big"));
    }
};

} // namespace

TEST_F(ZeroHourInstallation, TexturesComeFromZeroHourThenFromGenerals)
{
    CQuartoDoc document(prompt);
    Open(document, true);
    EXPECT_EQ(document.GetGameKind(), 1);
    EXPECT_EQ(document.GetInstallationFolder(), (temp / "ZERO HOUR").string() + "\\");
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(std::pair(prompt.shown[0].text, prompt.shown[0].caption),
              std::pair(std::string("Failed to interpret kestrel.ini"), std::string()));

    const auto loaded = LoadW3DPreviewModel(device, document, model, "", true);
    ASSERT_TRUE(loaded.summary.loaded);
    EXPECT_EQ(loaded.summary.hierarchySource, W3DModelSummary::HierarchySource::ArchiveEntry);
    EXPECT_FLOAT_EQ(loaded.extent, 30.0f);
    const auto& textures = loaded.mesh->Textures();
    ASSERT_EQ(textures.size(), 2u);
    EXPECT_EQ(textures[0].name, "zhonly.tga");
    EXPECT_EQ(dynamic_cast<const RecordingTexture&>(*textures[0].texture).pixels.at(1), 255);
    EXPECT_EQ(dynamic_cast<const RecordingTexture&>(*textures[1].texture).width, 4) << "base.tga found as DDS";
    EXPECT_EQ(ModelStatusText(loaded), "1 mesh, 2 triangles, 2 textures found, 1 missing");
}

TEST_F(ZeroHourInstallation, SkeletonsAreAlsoFoundInTheInstallationFolderAndAMissingOneIsSaid)
{
    CQuartoDoc document(prompt);
    Open(document, true);
    W3DMeshDesc hull = UnitQuad("HULL");
    hull.containerName = "TWIN";
    const Bytes8 other = Cat({HLodChunk("TWIN", "EUTWIN_SKL", {{0, "TWIN.HULL"}}), MeshChunk(hull)});
    const auto missing = LoadW3DPreviewModel(device, document, other, "", true);
    ASSERT_TRUE(missing.summary.loaded);
    EXPECT_EQ(ModelStatusText(missing), "1 mesh, 2 triangles, 0 textures found, 0 missing; skeleton EUTWIN_SKL not found");

    WriteFileBytes(temp / "Zero Hour/Art/W3D/eu/eutwin_skl.w3d",
                   HierarchyChunk("EUTWIN_SKL", {{"ROOT", 0xFFFFFFFFu, {0, 0, 5}, {0, 0, 0, 1}}}));
    const auto found = LoadW3DPreviewModel(device, document, other, "", true);
    EXPECT_EQ(found.summary.hierarchyEntry, "art\\w3d\\EU\\EUTWIN_SKL.w3d");
    EXPECT_FLOAT_EQ(found.extent, 5.0f);
}

TEST_F(ZeroHourInstallation, WithTexturesOffNothingIsOpenedAndTheModelIsUntextured)
{
    configuration->ParseText("Games\n  ZeroHour\n    Lists\n    End\n  End\nEnd\n");
    CQuartoDoc document(prompt);
    Open(document, false);
    EXPECT_EQ(document.GetGameKind(), 1);
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(document.GetGameTextureArchive().GetEntryCount(), 0);
    const auto loaded = LoadW3DPreviewModel(device, document, model, "", false);
    EXPECT_TRUE(loaded.mesh->Materials().empty() && loaded.mesh->Textures().empty());

    const auto damaged = LoadW3DPreviewModel(device, document, Bytes8(model.begin(), model.end() - 3), "", true);
    EXPECT_FALSE(damaged.summary.loaded);
    ASSERT_NE(damaged.mesh, nullptr) << "the preview still gets a mesh to clear the view with";
    EXPECT_TRUE(damaged.mesh->Groups().empty());
}
