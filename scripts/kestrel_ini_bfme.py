"""What Kestrel's configuration says about the Battle for Middle-earth (I and II) beyond the engine
core it shares with Generals and Zero Hour. Read by generate_kestrel_ini.py.

Sources: the block types, modules and keys below were read from the game's own INI set as it is
published (Object files of units, heroes and buildings, Armor, Weapon, FXList, FXParticleSystem,
ObjectCreationList, Locomotor, AttributeModifier, ExperienceLevels, SpecialPower and CommandButton
files of the first game) and from public modding notes on the
file syntax. Keys are listed where real files use them; a block or module whose keys were not seen
is listed under UNVERIFIED_BLOCK_TYPES and left without keys.
"""

# Comment markers besides ";" and the first words of preprocessor lines. "#include" and "#define"
# are used by the games' files; the others are reported for the engine family and unverified.
LINE_COMMENTS = ["//"]
DIRECTIVES = ["#define", "#include", "#undef", "#ifdef", "#ifndef", "#else", "#endif"]

# Lines that open a module or sub-block although they hold "=", and the ones among them whose text
# after "=" stays in the header (a list of states or an animation name) instead of naming it. The
# particle system's sub-blocks open only inside it: "Color" and "Alpha" are plain keys elsewhere.
PARTICLE_SYSTEM_PARTS = ["Alpha", "Color", "EmissionVelocity", "EmissionVolume", "Physics", "Update"]
FORCED_OBJECTS = ["ClientBehavior", "ModelConditionState", "AnimationState", "Animation", "LodOptions"]
# An emotion written "AddEmotion = OVERRIDE Name" opens a block that changes the named emotion;
# without OVERRIDE it is a plain key. A value word written "=Word" names such a keyword.
FORCED_OBJECTS_IN = {part: "FXParticleSystem" for part in PARTICLE_SYSTEM_PARTS}
FORCED_OBJECTS_IN["AddEmotion"] = "=OVERRIDE"
OBJECTS_WITH_LISTS = (["ModelConditionState", "AnimationState", "Animation", "LodOptions", "AddEmotion"] +
                      PARTICLE_SYSTEM_PARTS)

# Raw-text areas: the Lua snippets of scripted draw modules run to their terminator, whatever words
# (such as "end") they hold.
STRING_AREAS = {"BeginScript": "EndScript"}

# Keys of the Object block that the first game adds to the shared core.
OBJECT_KEYS = [
    "ThreatLevel", "ThingClass", "DisplayMeleeDamage", "HeroSortOrder", "BountyValue", "RecruitText",
    "ReviveText", "Hotkey", "CommandPoints", "VoiceAmbushed", "VoiceAttackStructure", "VoiceAttackMachine",
    "VoiceAttackCharge", "VoiceEnterStateAttack", "VoiceEnterStateAttackStructure",
    "VoiceEnterStateAttackMachine", "VoiceEnterStateAttackCharge", "VoiceMoveToCamp",
    "VoiceMoveWhileAttacking", "VoiceEnterStateMove", "VoiceEnterStateMoveToCamp",
    "VoiceEnterStateMoveWhileAttacking", "VoicePriority", "VoiceRetreatToCastle",
    "VoiceEnterStateRetreatToCastle", "VoiceSelect2", "VoiceSelectBattle", "VoiceSelectUnderConstruction",
    "SoundImpact", "EvaEventDamagedOwner", "EvaEventDieOwner", "PathfindDiameter", "GeometryName",
    "GeometryOffset", "AdditionalGeometry", "GeometryContactPoint",
]

# Object keys the public reimplementation OpenSAGE reads for the later games (its Object table
# serves both games and their expansion without telling which game reads which): unverified.
_VOICES = ["VoiceSelect", "VoiceSelectGroup", "VoiceSelectBattle", "VoiceSelectBattleGroup", "VoiceMove",
           "VoiceMoveGroup", "VoiceGuard", "VoiceGuardGroup", "VoiceAttack", "VoiceAttackGroup", "VoiceAttackCharge",
           "VoiceAttackChargeGroup", "VoiceAttackAir", "VoiceAttackAirGroup", "VoiceFear", "VoiceCreated",
           "VoiceTaskComplete", "VoiceDefect", "VoiceAlert", "VoiceFullyCreated", "VoiceRetreatToCastle",
           "VoiceRetreatToCastleGroup", "VoiceMoveToCamp", "VoiceMoveToCampGroup", "VoiceAttackStructure",
           "VoiceAttackStructureGroup", "VoiceAttackMachine", "VoiceAttackMachineGroup", "VoiceMoveWhileAttacking",
           "VoiceMoveWhileAttackingGroup", "VoiceAmbushed", "VoiceCombineWithHorde", "VoiceEnterStateAttack",
           "VoiceEnterStateAttackCharge", "VoiceEnterStateAttackAir", "VoiceEnterStateAttackStructure",
           "VoiceEnterStateAttackMachine", "VoiceEnterStateMove", "VoiceEnterStateRetreatToCastle",
           "VoiceEnterStateMoveToCamp", "VoiceEnterStateMoveWhileAttacking"]
REPORTED_OBJECT_KEYS = _VOICES + [voice + "2" for voice in _VOICES] + [
    "Browser", "BuildFadeInOnCreateList", "BuildFadeInOnCreateTime", "VoiceMoveOverWalls", "VoiceMoveToHigherGround",
    "VoiceEnterStateMoveToHigherGround", "VoiceEnterStateMoveOverWalls", "SoundAmbient2", "SoundAmbientDamaged2",
    "SoundAmbientReallyDamaged2", "SoundAmbientRubble2", "SoundAmbientBattle", "SoundImpactCyclonic",
    "SoundCrushing", "GroupVoiceThreshold", "VoiceAmbushBlockingRadius", "VoiceAmbushTimeout",
    "EvaEnemyUnitSightedEvent", "CampnessValue", "CampnessValueRadius", "GeometryRotationAnchorOffset",
    "GeometryActive", "GeometryFrontAngle", "GeometryOther", "CamouflageDetectionMultiplier", "ShadowMaxHeight",
    "ExperienceScalarTable", "MinCrushVelocityPercent", "CrushDecelerationPercent", "RamPower", "RamZMult",
    "EmotionRange", "ImmuneToShockwave", "ShowHealthInSelectionDecal", "DeadCollideSize", "CrushKnockback",
    "CrushZFactor", "Description", "FormationWidth", "FormationDepth", "KeepSelectableWhenDead", "LiveCameraOffset",
    "LiveCameraPitch", "AttackContactPoint", "RemoveTerrainRadius", "HealthBoxScale", "HealthBoxHeightOffset",
    "ForceLuaRegistration", "CrushRevengeWeapon", "MountedCrusherLevel", "MountedCrushableLevel", "CrushWeapon",
    "DisplayRangedDamage", "CanPathThroughGates", "ShadowSunAngle", "ShouldClearShotsOnIdle", "UseCrushAttack",
    "CrushAllies", "ShadowOpacityStart", "ShadowOpacityFadeInTime", "ShadowOpacityPeak", "ShadowOpacityFadeOutTime",
    "ShadowOpacityEnd", "ShadowOverrideLODVisibility", "EquivalentTo", "IsAutoBuilt", "IsGrabbable",
    "IsHarvestable", "EvaEventDamagedFromShroudedSourceOwner", "EvaEventDamagedByFireOwner", "EvaEventAmbushed",
    "EvaEventSecondDamageFarFromFirstOwner", "EvaEventSecondDamageFarFromFirstScanRange",
    "EvaEventSecondDamageFarFromFirstTimeoutMS", "EvaEnemyObjectSightedEvent", "ShockwaveResistance", "VisionSide",
    "VisionRear", "VisionBonusPercentPerFoot", "MaxVisionBonusPercent", "VisionBonusTestRadius", "CrowdResponseKey",
    "CommandPointBonus", "DisplayNameInvisibleForEnemy", "DescriptionStrategic", "SupplyOverride",
    "AutoResolveUnitType", "AutoResolveCombatChain", "AutoResolveBody", "AutoResolveArmor", "AutoResolveWeapon",
    "DisplayNameStrategic", "WorldMapArmoryUpgradesAllowed", "GeometryUsedForHealthBox", "AutoResolveLeadership",
    "EvaEnemyObjectSightedAfterRespawnEvent", "SelectionPriority", "CrushOnlyWhileCharging",
    "MinZIncreaseForVoiceMoveToHigherGround", "EvaOnFirstSightingEventEnemy", "EvaOnFirstSightingEventNonEnemy",
    "EvaEventDetectedEnemy", "EvaEventDetectedAlly", "EvaEventDetectedOwner",
]
_DECAL_KEYS = ["Texture", "Style", "OpacityMin", "OpacityMax", "OpacityThrobTime", "Color", "OnlyVisibleToOwningPlayer",
               "MinRadius", "MaxRadius", "MaxSelectedUnits"]

# Sub-blocks of Object: name -> keys.
OBJECT_BLOCKS = {
    "LocomotorSet": ["Locomotor", "Condition", "Speed"],
    # Reported (OpenSAGE), unverified, keys unknown but the decals'.
    "Flammability": [],
    "ThreatBreakdown": [],
    "FormationPreviewDecal": _DECAL_KEYS,
    "FormationPreviewItemDecal": _DECAL_KEYS,
}

# Keys of the animation sub-blocks of the scripted draw modules.
ANIMATION_KEYS = ["AnimationName", "AnimationMode", "AnimationPriority", "AnimationBlendTime",
                  "AnimationMustCompleteBlend", "AnimationSpeedFactorRange", "UseWeaponTiming", "Distance"]
# Keys a model condition state adds to the shared condition state.
MODEL_STATE_KEYS = ["Skeleton", "ParticleSysBone"]
# Keys of animation states (besides their Animation blocks and scripts).
ANIMATION_STATE_KEYS = ["StateName", "Flags", "FXEvent", "EnteringStateFX", "ShareAnimation", "ParticleSysBone"]
LOD_OPTION_KEYS = ["AllowMultipleModels", "MaxRandomTextures", "MaxRandomAnimations", "MaxAnimFrameDelta"]
SCRIPTED_DRAW_KEYS = ["OkToChangeModelColor", "StaticModelLODMode", "UseStandardModelNames", "ExtraPublicBone",
                      "WadingParticleSys", "DependencySharedModelFlags"]
SCRIPTED_DRAWS = ["W3DScriptedModelDraw", "W3DHordeModelDraw"]

_HORDE_AI_KEYS = ["AutoAcquireEnemiesWhenIdle", "MoodAttackCheckRate", "MaxCowerTime", "MinCowerTime", "AILuaEventsList",
                  "AttackPriority"]
_HORDE_CONTAIN_KEYS = ["ObjectStatusOfContained", "InitialPayload", "Slots", "PassengerFilter", "ShowPips", "RandomOffset",
                       "ThisFormationIsTheMainFormation", "BannerCarriersAllowed", "BannerCarrierPosition", "RankInfo",
                       "ComboHorde", "RanksToReleaseWhenAttacking", "AlternateFormation", "MeleeAttackLeashDistance",
                       "AttributeModifiers", "SplitHorde"]

# Sub-blocks of modules: (key, class) -> {sub-block: keys}.
MODULE_BLOCKS = {
    ("Behavior", "EmotionTrackerUpdate"): {"AddEmotion": ["Duration", "StartFXList"]},
}

# Modules the first game adds, or keys it adds to a module the engines share: (key, class) -> keys.
MODULES = {
    ("Body", "RespawnBody"): ["CheerRadius", "MaxHealth", "InitialHealth", "PermanentlyKilledByFilter",
                              "DodgePercent"],
    ("Body", "StructureBody"): ["MaxHealth", "InitialHealth"],
    ("Behavior", "LargeGroupAudioUpdate"): ["Key", "UnitWeight"],
    ("Behavior", "RespawnUpdate"): ["DeathAnim", "DeathFX", "DeathAnimationTime", "InitialSpawnFX", "RespawnAnim",
                                    "RespawnFX", "RespawnAnimationTime", "AutoRespawnAtObjectFilter",
                                    "ButtonImage", "RespawnRules", "RespawnEntry"],
    ("Behavior", "SubObjectsUpgrade"): ["TriggeredBy", "ShowSubObjects", "HideSubObjects", "UpgradeTexture",
                                        "RecolorHouse"],
    ("Behavior", "AttributeModifierAuraUpdate"): ["StartsActive", "BonusName", "TriggeredBy", "RefreshDelay",
                                                  "Range", "TargetEnemy", "ObjectFilter"],
    ("Behavior", "AutoAbilityBehavior"): [],
    ("Behavior", "AIUpdateInterface"): ["AutoAcquireEnemiesWhenIdle", "MoodAttackCheckRate", "AILuaEventsList",
                                        "AttackPriority"],
    ("Body", "ActiveBody"): ["CheerRadius", "MaxHealthDamaged", "RecoveryTime"],
    ("Behavior", "CombineHordeSpecialPower"): ["SpecialPowerTemplate", "InitiateSound", "ScanRange"],
    ("Behavior", "BannerCarrierUpdate"): ["IdleSpawnRate", "MeleeFreeUnitSpawnTime", "DiedRespawnTime",
                                          "MeleeFreeBannerReSpawnTime", "BannerMorphFX", "UnitSpawnFX", "MorphCondition",
                                          "ExpLevelDraw"],
    ("Behavior", "HeroDie"): ["SpecialPowerTemplate"],
    ("Behavior", "SpecialPowerModule"): ["SpecialPowerTemplate", "UpdateModuleStartsAttack", "StartsPaused",
                                         "TriggerFX", "SetModelCondition", "SetModelConditionTime",
                                         "AntiCategory", "AttributeModifier", "AttributeModifierRange",
                                         "InitiateSound"],
    ("Behavior", "SpecialAbilityUpdate"): ["SpecialPowerTemplate", "StartAbilityRange", "UnpackTime",
                                           "PreparationTime", "PersistentPrepTime", "PackTime",
                                           "AwardXPForTriggering", "PackSound", "UnpackSound", "TriggerSound",
                                           "PrepSoundLoop"],
    ("Behavior", "UnpauseSpecialPowerUpgrade"): ["SpecialPowerTemplate", "TriggeredBy"],
    ("Behavior", "OCLSpecialPower"): ["SpecialPowerTemplate", "OCL", "CreateLocation", "StartsPaused",
                                      "SetModelCondition", "SetModelConditionTime"],
    ("Behavior", "HeroModeSpecialAbilityUpdate"): ["SpecialPowerTemplate", "HeroAttributeModifier",
                                                   "HeroEffectDuration", "UnpackTime", "TriggerSound"],
    ("Behavior", "HitReactionBehavior"): ["HitReactionLifeTimer1", "HitReactionLifeTimer2", "HitReactionLifeTimer3",
                                          "HitReactionThreshold1", "HitReactionThreshold2",
                                          "HitReactionThreshold3"],
    ("Behavior", "ModelConditionSpecialAbilityUpdate"): ["SpecialPowerTemplate", "UnpackTime", "PreparationTime",
                                                         "PersistentPrepTime", "PackTime", "AwardXPForTriggering"],
    ("Behavior", "AutoHealBehavior"): ["StartsActive", "ButtonTriggered", "HealingAmount", "HealingDelay",
                                       "StartHealingDelay", "HealOnlyIfNotInCombat", "Radius", "HealOnlyOthers",
                                       "SingleBurst", "UnitHealPulseFX", "KindOf", "TriggeredBy"],
    ("Behavior", "AttributeModifierUpgrade"): ["TriggeredBy", "AttributeModifier"],
    ("Behavior", "ExperienceLevelCreate"): ["LevelToGrant", "MPOnly"],
    ("Behavior", "StealthUpdate"): ["StealthDelay", "FriendlyOpacityMin", "FriendlyOpacityMax", "PulseFrequency",
                                    "StealthForbiddenConditions", "OrderIdleEnemiesToAttackMeUponReveal",
                                    "DetectedByAnyoneRange", "RevealWeaponSets", "VoiceMoveToStealthyArea",
                                    "VoiceEnterStateMoveToStealthyArea"],
    ("Behavior", "BezierProjectileBehavior"): ["FirstHeight", "SecondHeight", "FirstPercentIndent",
                                               "SecondPercentIndent", "TumbleRandomly", "CrushStyle", "DieOnImpact",
                                               "BounceCount", "BounceDistance", "BounceFirstHeight",
                                               "BounceSecondHeight", "BounceFirstPercentIndent",
                                               "BounceSecondPercentIndent", "GroundHitFX", "GroundBounceFX"],
    ("Behavior", "WeaponSetUpgrade"): ["TriggeredBy"],
    ("Behavior", "ArmorUpgrade"): ["TriggeredBy", "KillArmorUpgrade", "ArmorSetFlag"],
    ("Behavior", "PhysicsBehavior"): ["GravityMult", "ShockStandingTime", "ShockStunnedTimeLow", "ShockStunnedTimeHigh"],
    ("Behavior", "SlowDeathBehavior"): ["DeathTypes", "SinkDelay", "SinkRate", "DestructionDelay", "Sound"],
    ("Behavior", "SquishCollide"): [],
    ("Behavior", "CastleMemberBehavior"): ["UnderAttackEvaEventIfKeep", "UnderAttackAllyEvaEventIfKeep",
                                           "CampDestroyedOwnerEvaEvent", "CampDestroyedAllyEvaEvent",
                                           "CampDestroyedAttackerEvaEvent"],
    ("Behavior", "RefundDie"): ["UpgradeRequired", "BuildingRequired", "RefundPercent"],
    ("Behavior", "StructureCollapseUpdate"): ["MinCollapseDelay", "MaxCollapseDelay", "CollapseDamping",
                                              "MaxShudder", "MinBurstDelay", "MaxBurstDelay", "BigBurstFrequency",
                                              "FXList", "DestroyObjectWhenDone", "CollapseHeight"],
    ("Behavior", "BuildingBehavior"): ["NightWindowName", "FireWindowName", "GlowWindowName", "FireName"],
    ("Behavior", "ProductionUpdate"): ["GiveNoXP"],
    ("Behavior", "QueueProductionExitUpdate"): ["UnitCreatePoint", "NaturalRallyPoint", "ExitDelay"],
    ("Behavior", "GeometryUpgrade"): ["TriggeredBy", "ShowGeometry", "HideGeometry"],
    ("ClientBehavior", "AnimationSoundClientBehavior"): ["MaxUpdateRangeCap", "AnimationSound"],
    ("Behavior", "HordeAIUpdate"): _HORDE_AI_KEYS,
    ("Behavior", "HordeWorkerAIUpdate"): _HORDE_AI_KEYS + ["CanAttackWhileContained", "ComboLocomotorSet",
                                                          "ComboLocoAttackDistance", "SpecialContactPoints"],
    ("Behavior", "HordeContain"): _HORDE_CONTAIN_KEYS,
    ("Behavior", "HorseHordeContain"): _HORDE_CONTAIN_KEYS,
    ("Behavior", "ReplenishUnitsBehavior"): ["ReplenishDelay", "ReplenishRadius", "NoReplenishIfEnemyWithinRadius",
                                             "ReplenishStatii", "ReplenishFXList", "ReplenishHordeMembersOnly",
                                             "StartsActive"],
    ("Behavior", "LevelUpUpgrade"): ["TriggeredBy", "RequiresAllTriggers", "LevelsToGain", "LevelCap"],
    ("Behavior", "StatusBitsUpgrade"): ["TriggeredBy", "RequiresAllTriggers"],
    ("Behavior", "LifetimeUpdate"): ["MinLifetime", "MaxLifetime", "DeathType"],
    ("Behavior", "EmotionTrackerUpdate"): ["TauntAndPointDistance", "TauntAndPointUpdateDelay",
                                           "TauntAndPointExcluded", "AfraidOf", "AlwaysAfraidOf", "PointAt",
                                           "HeroScanDistance", "FearScanDistance", "AddEmotion"],
    ("Draw", "W3DFloorDraw"): ["StaticModelLODMode", "ModelName"],
}

# The particle systems of the later engine: a System block and parts named after their kind.
PARTICLE_SYSTEM = {
    "System": ["Priority", "ParticleName", "Lifetime", "SortLevel", "Size", "BurstCount", "BurstDelay", "IsOneShot",
               "Shader", "PerParticleAttachedSystem", "SystemLifetime", "InitialDelay", "StartSizeRate",
               "IsParticleUpTowardsEmitter", "IsGroundAligned", "Type", "SlaveSystem", "SlavePosOffset",
               "IsEmitAboveGroundOnly"],
    "Color": ["Color1", "Color2", "Color3", "Color4"],
    "Alpha": ["Alpha1", "Alpha2", "Alpha3"],
    "Update": ["SizeRate", "SizeRateDamping", "AngleZ", "AngularRateZ", "AngularDamping", "StartSizeX",
               "StartSizeY", "StartSizeZ", "SizeRateX", "SizeRateY", "SizeRateZ", "SizeDampingX", "SizeDampingY",
               "SizeDampingZ", "Rotation"],
    "Physics": ["VelocityDamping", "DriftVelocity", "Gravity"],
    "EmissionVelocity": ["X", "Y", "Z", "Speed", "OtherSpeed"],
    "EmissionVolume": ["IsHollow", "StartPoint", "EndPoint", "Radius", "Length"],
    "Draw Specified DefaultDraw": [],
    "Draw Specified RenderObjectDraw": [],
    "Draw Specified StreakDraw": [],
}

# Top-level block types: name -> (keys, {sub-block: keys}). Keys are added to a type the engines
# share; a type the shared core lacks is added.
BLOCK_TYPES = {
    "ModifierList": (["Category", "Modifier", "Duration", "FX", "FX2", "FX3", "MultiLevelFX", "ClearModelCondition"],
                     {}),
    "Weapon": (["MaxWeaponSpeed", "HitPercentage", "FiringDuration", "AntiAirborneMonster", "PreferredTargetBone",
                "HitStoredTarget", "MeleeWeapon"],
               {"DamageNugget": ["Damage", "Radius", "DelayTime", "DamageType", "DamageFXType", "DeathType",
                                 "DamageScalar", "AcceptDamageAdd"],
                "ProjectileNugget": ["ProjectileTemplateName", "WarheadTemplateName"],
                "MetaImpactNugget": ["HeroResist", "ShockWaveAmount", "ShockWaveRadius", "ShockWaveArc",
                                     "ShockWaveTaperOff", "ShockWaveSpeed", "ShockWaveZMult", "InvertShockWave"],
                "DamageFieldNugget": ["WeaponTemplateName", "Duration"],
                "WeaponOCLNugget": ["WeaponOCLName"],
                "AttributeModifierNugget": ["AttributeModifier", "DamageFXType"]}),
    "FXList": (["PlayEvenIfShrouded"],
               {"BuffNugget": ["BuffType", "BuffThingTemplate", "BuffInfantryTemplate", "BuffCavalryTemplate",
                               "BuffTrollTemplate", "BuffOrcTemplate", "IsComplexBuff", "BuffLifeTime", "Extrusion",
                               "Color"],
                "CameraShakerVolume": ["Radius", "Duration_Seconds", "Amplitude_Degrees"],
                "DynamicDecal": ["DecalName", "Size", "Color", "Offset", "OpacityStart", "OpacityFadeTimeOne",
                                 "OpacityPeak", "OpacityPeakTime", "OpacityFadeTimeTwo", "OpacityEnd",
                                 "StartingDelay", "Lifetime"],
                "EvaEvent": ["EvaEventOwner", "EvaEventAlly", "EvaEventEnemy"],
                "FXParticleSysBoneNugget": ["ParticleSysBone"],
                "AttachedModel": ["Modelname", "RandomlyRotate", "ExpireTimer"],
                "Laser": ["LaserName", "LaserBackwards", "TargetPositionOffsetFallback"],
                "ParticleSystem": ["AttachToBone"]}),
    "Locomotor": (["FastTurnRadius", "SlowTurnRadius", "FormationPriority", "CanMoveBackwards", "BackingUpSpeed",
                   "ChargeAvailable", "ChargeSpeed", "TurnTime", "TurnTimeDamaged", "TurnThreshold",
                   "TurnThresholdHS", "EnableHighSpeedTurnModelconditions", "WanderWidthFactor",
                   "WanderLengthFactor", "WanderAboutPointRadius", "UseTerrainSmoothing", "HasSuspension"],
                  {}),
    "ObjectCreationList": ([], {"CreateObject": ["ObjectNames", "Offset", "Count", "Disposition",
                                                 "DispositionIntensity", "VelocityScale"]}),
    "FXParticleSystem": ([], PARTICLE_SYSTEM),
    "ExperienceLevel": (["TargetNames", "RequiredExperience", "ExperienceAward", "ExperienceAwardOwnGuysDie", "Rank",
                         "Upgrades", "AttributeModifiers", "LevelUpFx", "ShowLevelUpTint", "LevelUpTintColor",
                         "LevelUpTintPreColorTime", "LevelUpTintPostColorTime", "LevelUpTintSustainColorTime",
                         "EmotionType", "InformUpdateModule"],
                        {"SelectionDecal": ["Texture", "Texture2", "Style", "OpacityMin", "OpacityMax", "MinRadius",
                                            "MaxRadius", "MaxSelectedUnits"]}),
    "ExperienceScalarTable": (["Scalars"], {}),
    "SpecialPower": (["Enum", "ReloadTime", "PublicTimer", "SharedSyncedTimer", "RadiusCursorRadius", "InitiateSound",
                      "InitiateAtLocationSound", "ViewObjectDuration", "ViewObjectRange", "PalantirMovie"], {}),
    "CommandButton": (["Command", "Options", "CursorName", "InvalidCursorName", "ButtonBorderType", "DescriptLabel",
                       "DoubleClick", "ButtonImage", "TextLabel", "InPalantir", "UnitSpecificSound",
                       "UnitSpecificSound2", "FlagsUsedForToggle", "Object"], {}),
}

# Block types the later engine reads besides those of Zero Hour (the block table of the public
# OpenSAGE reimplementation, which covers both games and their expansion without telling which game
# reads which); their keys were not read from real files, so they are described without keys.
UNVERIFIED_BLOCK_TYPES = [
    "AIBase", "AIDozerAssignment", "AmbientStream", "AnimationSoundClientBehaviorGlobalSetting",
    "AptButtonTooltipMap", "ArmyDefinition", "ArmySummaryDescription", "AudioLOD", "AutoResolveArmor",
    "AutoResolveBody", "AutoResolveCombatChain", "AutoResolveHandicapLevel", "AutoResolveLeadership",
    "AutoResolveReinforcementSchedule", "AutoResolveWeapon", "AwardSystem", "BannerType", "BannerUI", "CloudEffect",
    "CreateAHeroSystem", "CrowdResponse", "EmotionNugget", "EvaEventForwardReference", "FactionVictoryData", "Fire",
    "FireEffect", "FireLogicSystem", "FontDefaultSettings", "FontSubstitution", "FormationAssistant", "GlowEffect",
    "HouseColor", "InGameNotificationBox", "LargeGroupAudioMap", "LargeGroupAudioUnusedKnownKeys", "LinearCampaign",
    "LivingWorldAITemplate", "LivingWorldAnimObject", "LivingWorldArmyIcon", "LivingWorldAutoResolveResourceBonus",
    "LivingWorldAutoResolveSciencePurchasePointBonus", "LivingWorldBuilding", "LivingWorldBuildingIcon",
    "LivingWorldBuildPlotIcon", "LivingWorldCampaign", "LivingWorldMapInfo", "LivingWorldObject",
    "LivingWorldPlayerArmy", "LivingWorldPlayerTemplate", "LivingWorldRegionCampaign", "LivingWorldRegionEffects",
    "LivingWorldSound", "LoadSubsystem", "MeshNameMatches", "MiscEvaData", "MissionObjectiveList", "Multisound",
    "NewEvaEvent", "Pathfinder", "PlayerAIType", "PredefinedEvaEvent", "RegionCampain", "RingEffect",
    "ScoredKillEvaAnnouncer", "ShadowMap", "SkirmishAIData", "SkyboxTextureSet", "StanceTemplate", "StrategicHUD",
    "StreamedSound", "VictorySystemData", "WaterTextureList", "WeatherData",
]
# One-line top-level entries without End, like Zero Hour's ReallyLowMHz.
ONE_LINE_TYPES = ["AudioLowMHz"]
