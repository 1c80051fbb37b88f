#pragma once

// INI text shaped like the games' object files, for the INI benchmarks: objects with nested
// modules and condition states, comments and CRLF line ends. Object i fires "Unit<i>Gun" and
// moves with "Unit<i>Locomotor".
#include <cstddef>
#include <string>

namespace kestrel::bench {

/// Objects from number `first` on until the text reaches `targetSize` bytes; `next` receives the
/// number of the object that would follow.
inline std::string SyntheticObjects(std::size_t targetSize, int first = 0, int* next = nullptr)
{
    std::string text = "; Synthetic object definitions\r\n\r\n";
    int i = first;
    for (; text.size() < targetSize; ++i) {
        const std::string n = std::to_string(i);
        text += "Object SyntheticUnit" + n + "\r\n"
                "  ; *** ART Parameters ***\r\n"
                "  SelectPortrait         = SAUnit" + n + "_L\r\n"
                "  ButtonImage            = SAUnit" + n + "\r\n"
                "  Draw = W3DTankDraw ModuleTag_01\r\n"
                "    OkToChangeModelColor = Yes\r\n"
                "    DefaultConditionState\r\n"
                "      Model               = AVUnit" + n + "\r\n"
                "      Turret              = Turret01\r\n"
                "      WeaponFireFXBone    = PRIMARY Muzzle\r\n"
                "    End\r\n"
                "    ConditionState        = REALLYDAMAGED RUBBLE\r\n"
                "      Model               = AVUnit" + n + "_D ; damaged model\r\n"
                "    End\r\n"
                "    TrackMarks = EXTireTrack.tga\r\n"
                "  End\r\n"
                "\r\n"
                "  ; ***DESIGN parameters ***\r\n"
                "  DisplayName      = OBJECT:Unit" + n + "\r\n"
                "  Side             = America\r\n"
                "  EditorSorting    = VEHICLE\r\n"
                "  BuildCost        = " + std::to_string(500 + i % 700) + "\r\n"
                "  BuildTime        = 10.0          ;in seconds\r\n"
                "  VisionRange      = 150\r\n"
                "  WeaponSet\r\n"
                "    Conditions = None\r\n"
                "    Weapon = PRIMARY Unit" + n + "Gun\r\n"
                "  End\r\n"
                "  ArmorSet\r\n"
                "    Conditions      = None\r\n"
                "    Armor           = TankArmor\r\n"
                "    DamageFX        = TankDamageFX\r\n"
                "  End\r\n"
                "  KindOf = PRELOAD SELECTABLE CAN_ATTACK ATTACK_NEEDS_LINE_OF_SIGHT VEHICLE SCORE\r\n"
                "  Body = ActiveBody ModuleTag_02\r\n"
                "    MaxHealth       = 480.0\r\n"
                "    InitialHealth   = 480.0\r\n"
                "  End\r\n"
                "  Behavior = AIUpdateInterface ModuleTag_03\r\n"
                "    Turret\r\n"
                "      TurretTurnRate = 60\r\n"
                "      ControlledWeaponSlots = PRIMARY\r\n"
                "    End\r\n"
                "    AutoAcquireEnemiesWhenIdle = Yes\r\n"
                "  End\r\n"
                "  Locomotor = SET_NORMAL Unit" + n + "Locomotor\r\n"
                "  Behavior = PhysicsBehavior ModuleTag_04\r\n"
                "    Mass = 50.0\r\n"
                "  End\r\n"
                "  Geometry            = BOX\r\n"
                "  GeometryMajorRadius = 15.0\r\n"
                "  GeometryMinorRadius = 8.0\r\n"
                "  GeometryHeight      = 12.0\r\n"
                "  Shadow              = SHADOW_VOLUME\r\n"
                "End\r\n\r\n";
    }
    if (next)
        *next = i;
    return text;
}

} // namespace kestrel::bench
