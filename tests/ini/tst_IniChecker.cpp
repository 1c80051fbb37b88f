#include "ini/IniChecker.h"

#include "ini/CIniBlock.h"
#include "ini/IniWorkspace.h"
#include "ini/StructureConfig.h"

#include "base/AsciiCase.h"

#include "samples/BigArchiveBuilder.h"
#include "support/FileText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace kestrel;

namespace {

std::filesystem::path SourceFolder()
{
    const char* source = std::getenv("KESTREL_SOURCE_DIR");
    return source ? std::filesystem::path(source) : std::filesystem::path();
}

const CIniBlock& ShippedConfiguration()
{
    static const std::unique_ptr<CIniBlock> tree =
        LoadConfigurationFile(SourceFolder() / "resources" / "kestrel.ini", nullptr);
    return *tree;
}

const std::string kObjectEntry = "Data\\INI\\Object\\Crusader.ini";
const std::string kObject = "Object AmericaTankCrusader\r\n"              // 1
                            "  KindOf = PRELOAD SELECTABLE VEHICLE\r\n"   // 2
                            "  Body = ActiveBody ModuleTag_02\r\n"        // 3
                            "    MaxHealth = 480.0 ; full\r\n"            // 4
                            "  End\r\n"                                   // 5
                            "  Draw = W3DTankDraw ModuleTag_01\r\n"       // 6
                            "    ConditionState = REALLYDAMAGED RUBBLE\r\n" // 7
                            "      Model = AVCrusader_D\r\n"              // 8
                            "    End\r\n"                                 // 9
                            "  End\r\n"                                   // 10
                            "  WeaponSet\r\n"                             // 11
                            "    Conditions = None\r\n"                   // 12
                            "    Weapon = PRIMARY CrusaderTankGun\r\n"    // 13
                            "  End\r\n"                                   // 14
                            "  Locomotor = SET_NORMAL CrusaderLocomotor\r\n" // 15
                            "  RemoveModule ModuleTag_09\r\n"             // 16
                            "  AddModule\r\n"                             // 17
                            "    Behavior = SlowDeathBehavior ModuleTag_10\r\n" // 18
                            "    End\r\n"                                 // 19
                            "  End\r\n"                                   // 20
                            "End\r\n";                                    // 21
const std::string kWeapons = "Weapon CrusaderTankGun\r\n  PrimaryDamage = 40.0\r\nEnd\r\n";
const std::string kLocomotors = "Locomotor CrusaderLocomotor\r\n  Speed = 30\r\nEnd\r\n";

/// A Zero Hour mod of one object, its weapon and locomotor, with `objectText` as the object file.
IniWorkspace ModWith(const std::string& objectText)
{
    IniWorkspace workspace(FindGameBlock(ShippedConfiguration(), GameKind::ZeroHour));
    workspace.SetEntry(kObjectEntry, objectText, true);
    workspace.SetEntry("Data\\INI\\Weapon.ini", kWeapons, true);
    workspace.SetEntry("Data\\INI\\Locomotor.ini", kLocomotors, false);
    return workspace;
}

std::string Listed(const std::vector<IniProblem>& problems)
{
    std::string out;
    for (const IniProblem& p : problems)
        out += p.entry + ":" + std::to_string(p.line) + ": " + std::string(ProblemKindName(p.kind)) + ": " +
               p.message + "\n";
    return out;
}

// One seeded mistake in otherwise clean files gives exactly one problem, of its kind, on its line.
TEST(IniChecker, FindsEachSeededMistakeOnItsLineAndNoneInACleanMod)
{
    ASSERT_FALSE(SourceFolder().empty());
    EXPECT_EQ(Listed(ModWith(kObject).CheckAll()), "");
    struct Case
    {
        const char* from; // replaced once in the object file; empty: `to` is appended
        const char* to;
        IniProblemKind kind;
        std::int32_t line;
    };
    const Case cases[] = {
        {"", "Weapn Gun\r\nEnd\r\n", IniProblemKind::UnknownBlock, 22},
        {"  WeaponSet", "  WeaponSett", IniProblemKind::UnknownBlock, 11},
        {"ActiveBody", "ActivBody", IniProblemKind::UnknownModule, 3},
        {"MaxHealth", "MaxHelth", IniProblemKind::UnknownKey, 4},
        {"VEHICLE", "VEHICEL", IniProblemKind::NotInList, 2},
        {"RUBBLE", "RUBBEL", IniProblemKind::NotInList, 7},
        {"PRIMARY CrusaderTankGun", "PRIMARY CrusaderTankGunn", IniProblemKind::UnresolvedReference, 13},
        {"SET_NORMAL CrusaderLocomotor", "SET_NORMAL Crusader", IniProblemKind::UnresolvedReference, 15},
        {"ModuleTag_01", "ModuleTag_02", IniProblemKind::DuplicateModuleTag, 6},
        {"SlowDeathBehavior ModuleTag_10", "SlowDeathBehavior ModuleTag_01", IniProblemKind::DuplicateModuleTag, 18},
        {"    End\r\n  End\r\nEnd\r\n", "    End\r\n  End\r\n", IniProblemKind::UnterminatedBlock, 1},
        {"", "End\r\n", IniProblemKind::StrayEnd, 22},
        {"", "Object AmericaTankCrusader\r\nEnd\r\n", IniProblemKind::DuplicateObject, 22},
    };
    for (const Case& c : cases) {
        std::string text = kObject;
        if (*c.from)
            text.replace(text.find(c.from), std::string_view(c.from).size(), c.to);
        else
            text += c.to;
        SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
        const std::vector<IniProblem> problems = ModWith(text).CheckAll();
        ASSERT_EQ(problems.size(), 1u) << Listed(problems);
        const std::string where = kObjectEntry + ":" + std::to_string(c.line) + ": " + std::string(ProblemKindName(c.kind)) + ": ";
        EXPECT_EQ(Listed(problems).substr(0, where.size()), where) << Listed(problems);
        EXPECT_EQ(problems[0].severity, SeverityOf(c.kind));
        EXPECT_EQ(ProblemKindNamed(ProblemKindName(c.kind)), c.kind);
    }
}

TEST(IniChecker, TheLaterOfTwoDefinitionsIsReportedAndNamesTheEarlierOne)
{
    IniWorkspace workspace = ModWith(kObject);
    // Files of a folder load before those of its subfolders, whatever their names.
    workspace.SetEntry("Data\\INI\\Object\\A\\Again.ini", "Object AmericaTankCrusader\r\nEnd\r\n", true);
    // The defaults are loaded to be overridden.
    workspace.SetEntry("Data\\INI\\Default\\Weapon.ini", kWeapons, true);
    const std::vector<IniProblem> problems = workspace.CheckAll();
    ASSERT_EQ(problems.size(), 1u) << Listed(problems);
    EXPECT_EQ(problems[0].entry, "Data\\INI\\Object\\A\\Again.ini");
    EXPECT_NE(problems[0].message.find(kObjectEntry + ":1"), std::string::npos) << problems[0].message;
    EXPECT_EQ(Listed(workspace.Check("Data\\INI\\Object\\A\\Again.ini")), Listed(problems));
}

TEST(IniChecker, ReportsNoProblemInTheShippedIniTexts)
{
    for (const auto& item : std::filesystem::recursive_directory_iterator(SourceFolder() / "resources")) {
        if (!item.is_regular_file() || AsciiLowered(item.path().extension().string()) != ".ini" ||
            item.path().filename() == "kestrel.ini")
            continue;
        const std::string text = test::ReadFileText(item.path());
        for (GameKind game : {GameKind::Generals, GameKind::ZeroHour, GameKind::BFME}) {
            IniWorkspace workspace(FindGameBlock(ShippedConfiguration(), game));
            workspace.SetEntry(item.path().string(), text, true);
            workspace.SetEntry(kObjectEntry, kObject, true);
            EXPECT_EQ(Listed(workspace.CheckAll()), "") << GameBlockName(game);
        }
    }
}

} // namespace
