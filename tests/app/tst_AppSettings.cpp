#include "app/AppSettings.h"
#include "samples/BigArchiveBuilder.h"

#include <QSettings>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

class AppSettingsTest : public ::testing::Test
{
protected:
    samples::TempFolder folder;
    QSettings store{QString::fromStdString((folder / "settings.ini").string()), QSettings::IniFormat};
};

TEST_F(AppSettingsTest, AbsentValuesTakeTheirDefaultsAndChangesAreStoredAsOneOrZero)
{
    AppSettings settings(store);
    settings.Load();
    EXPECT_FALSE(settings.UseOpenGL());
    EXPECT_TRUE(settings.Textures());
    EXPECT_TRUE(settings.AlphaBlending());
    EXPECT_TRUE(settings.RecentFiles().isEmpty());
    ASSERT_FALSE(AppSettings::HasDirect3D9());
    EXPECT_TRUE(settings.DeviceIsOpenGL()) << "without Direct3D OpenGL still draws";
    EXPECT_FALSE(store.contains(QStringLiteral("Device/UseOpenGL")));

    settings.SetTextures(false);
    settings.SetUseOpenGL(true);
    EXPECT_EQ(store.value(QStringLiteral("Device/Textures")).toInt(), 0);
    EXPECT_EQ(store.value(QStringLiteral("Device/UseOpenGL")).toInt(), 1);
}

TEST_F(AppSettingsTest, ASettingIsOnExactlyWhenItsStoredValueIsOne)
{
    store.setValue(QStringLiteral("Device/UseOpenGL"), 2);
    store.setValue(QStringLiteral("Device/Textures"), 0);
    store.setValue(QStringLiteral("Device/AlphaBlending"), QStringLiteral("yes"));
    AppSettings settings(store);
    settings.Load();
    EXPECT_FALSE(settings.UseOpenGL());
    EXPECT_FALSE(settings.Textures());
    EXPECT_FALSE(settings.AlphaBlending());

    store.setValue(QStringLiteral("Device/UseOpenGL"), 1);
    store.setValue(QStringLiteral("Device/Textures"), 2);
    settings.Load();
    EXPECT_TRUE(settings.UseOpenGL());
    EXPECT_FALSE(settings.Textures());
}

TEST_F(AppSettingsTest, RecentFilesKeepTheFourLatestMostRecentFirstWithoutDuplicates)
{
    AppSettings settings(store);
    settings.Load();
    for (const char* path : {"/a.big", "/b.big", "/c.big", "/d.big", "/e.big", "/c.big"})
        settings.AddRecentFile(QString::fromLatin1(path));
    const QStringList expected = {QStringLiteral("/c.big"), QStringLiteral("/e.big"), QStringLiteral("/d.big"),
                                  QStringLiteral("/b.big")};
    EXPECT_EQ(settings.RecentFiles(), expected);
    AppSettings restarted(store);
    restarted.Load();
    EXPECT_EQ(restarted.RecentFiles(), expected);
    restarted.RemoveRecentFile(QStringLiteral("/e.big"));
    EXPECT_EQ(restarted.RecentFiles().size(), 3);
}

} // namespace
} // namespace kestrel
