#include "ini/IniCoverage.h"

#include "ini/CIniBlock.h"
#include "ini/StructureConfig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kestrel;

namespace {

constexpr const char* kConfiguration = "Game\n"
                                       "  ForcedObjects\n"
                                       "    Body =\n"
                                       "  End\n"
                                       "  Directives\n"
                                       "    #include =\n"
                                       "  End\n"
                                       "  AnyKeys\n"
                                       "    UnitSpecificSounds =\n"
                                       "  End\n"
                                       "  INIStructure\n"
                                       "    Object\n"
                                       "      KindOf = Lists KindOf\n"
                                       "      Body Specified ActiveBody ModuleTag_New\n"
                                       "        MaxHealth = 0.0\n"
                                       "      End\n"
                                       "      UnitSpecificSounds\n"
                                       "        VoiceCreate = soundeffects::AudioEvent\n"
                                       "      End\n"
                                       "    End\n"
                                       "  End\n"
                                       "End\n";

std::string Describe(const IniCoverage::Item& item)
{
    return std::string(item.known ? "+" : "-") + std::string(IniCoverage::KindName(item.kind)) + " " + item.path +
           " x" + std::to_string(item.count);
}

TEST(IniCoverage, ReportsWhatTheDescriptionKnowsPathByPath)
{
    CIniBlock configuration;
    configuration.ParseText(kConfiguration);
    const CIniBlock* game = configuration.FindChild("Game");
    IniCoverage coverage(game);
    for (int i = 0; i < 2; ++i) {
        CIniBlock text(StructureConfig::FromGameBlock(game));
        text.ParseText("#include \"common.inc\"\n"
                       "Object Tank\n"
                       "  KindOf = VEHICLE\n"
                       "  Bogus = 1\n"
                       "  Body = ActiveBody Tag1\n"
                       "    MaxHealth = 100\n"
                       "    Armour = 5\n"
                       "  End\n"
                       "  Body = StrangeBody Tag2\n"
                       "    Inner = 1\n"
                       "  End\n"
                       "  UnitSpecificSounds\n"
                       "    TurretMoveLoop = Whirr\n"
                       "  End\n"
                       "End\n"
                       "Weapon Gun\n"
                       "  Damage = 5\n"
                       "End\n");
        coverage.Add(text);
    }
    std::vector<std::string> items;
    for (const IniCoverage::Item& item : coverage.Items())
        items.push_back(Describe(item));
    EXPECT_EQ(items, (std::vector<std::string>{
                         "+directive #include x2",
                         "+block Object x2",
                         "+module Object > Body = ActiveBody x2",
                         "-key Object > Body = ActiveBody > Armour x2",
                         "+key Object > Body = ActiveBody > MaxHealth x2",
                         "-module Object > Body = StrangeBody x2",
                         "-key Object > Bogus x2",
                         "+key Object > KindOf x2",
                         "+block Object > UnitSpecificSounds x2",
                         "+key Object > UnitSpecificSounds > TurretMoveLoop x2",
                         "-block Weapon x2",
                     }));
    EXPECT_EQ(coverage.UnknownCount(), 4);

    IniCoverage nothing(nullptr);
    CIniBlock text;
    text.ParseText("Object Tank\n  KindOf = VEHICLE\nEnd\n");
    nothing.Add(text);
    ASSERT_EQ(nothing.Items().size(), 1u) << "without a description the top-level block is unknown";
    EXPECT_FALSE(nothing.Items()[0].known);
}

} // namespace
