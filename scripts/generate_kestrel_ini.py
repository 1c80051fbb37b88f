#!/usr/bin/env python3
"""Writes resources/kestrel.ini from the INI facts of the games (shared/reference).

The facts list every block type, key, module class and name list of Generals and Zero Hour with
the games each belongs to. This script turns them into Kestrel's configuration file: per game the
structure configuration (forced objects, forced values, objects with lists, string areas), the
choice lists and a structure description of the block types. Battle for Middle-earth has no such
facts; its block starts from the shared engine core and is marked as unverified.

Usage: scripts/generate_kestrel_ini.py [FACTS] [OUTPUT]
"""
import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
DEFAULT_FACTS = ROOT.parent.parent / "shared" / "reference" / "generals-ini-facts.md"
if not DEFAULT_FACTS.exists():
    DEFAULT_FACTS = Path("/work/shared/reference/generals-ini-facts.md")

MODULE_KEYS = ["Behavior", "Body", "ClientUpdate", "Draw"]

# Lines that open a module even though they hold "=", and the ones among them whose text after
# "=" is a list that stays in the header instead of naming the module.
FORCED_OBJECTS = MODULE_KEYS + ["ConditionState", "TransitionState"]
OBJECTS_WITH_LISTS = ["ConditionState", "TransitionState"]
# One-line entries: top-level blocks without "End" and keys written without "=".
FORCED_VALUES = ["BenchProfile", "Blank", "ControlBarResizer", "LODPreset", "MapData", "ReallyLowMHz",
                 "RemoveModule"]

BFME_MODULES = ["Body = ActiveBody", "Body = StructureBody", "Body = ImmortalBody", "Body = InactiveBody",
                "Draw = W3DModelDraw", "Behavior = AIUpdateInterface", "Behavior = PhysicsBehavior",
                "Behavior = DestroyDie", "Behavior = SlowDeathBehavior", "Behavior = FXListDie"]
BFME_FORCED_OBJECTS = FORCED_OBJECTS + ["ClientBehavior", "ModelConditionState", "AnimationState"]
BFME_OBJECTS_WITH_LISTS = OBJECTS_WITH_LISTS + ["ModelConditionState", "AnimationState"]

# Where the names of a block type are defined: the folder part of "Folder::Type" descriptions is
# matched against the lower-cased entry paths of the archives.
TYPE_FOLDERS = {
    "Object": ["object"],
    "Weapon": ["weapon"],
    "Armor": ["armor"],
    "Locomotor": ["locomotor"],
    "FXList": ["fxlist"],
    "ObjectCreationList": ["objectcreationlist"],
    "ParticleSystem": ["particlesystem"],
    "Upgrade": ["upgrade"],
    "Science": ["science"],
    "SpecialPower": ["specialpower"],
    "CommandSet": ["commandset"],
    "CommandButton": ["commandbutton"],
    "AudioEvent": ["soundeffects", "voice"],
    "MappedImage": ["mappedimages"],
    "DamageFX": ["damagefx"],
    "CrateData": ["crate"],
    "Animation": ["animation2d"],
    "PlayerTemplate": ["playertemplate"],
}

DEFAULT_TEXTS = {
    "real": "0.0", "int": "0", "uint": "0", "uint8": "0", "int16": "0", "uint16": "0",
    "percent": "0%", "duration": "0", "velocity": "0", "acceleration": "0", "angular_velocity": "0",
    "angle": "0", "rgb": "R:0 G:0 B:0", "rgba": "R:0 G:0 B:0 A:255", "coord2d": "X:0 Y:0",
    "coord3d": "X:0 Y:0 Z:0", "icoord2d": "X:0 Y:0", "range": "0 0", "label": "OBJECT:",
}


def parse_facts(text):
    """Returns (sections, lists, top_level): sections map a heading to its table rows."""
    sections, lists, headings = {}, {}, {}
    heading, columns = None, None
    for line in text.splitlines():
        if line.startswith("#"):
            heading = line.lstrip("#").strip()
            columns = None
            headings[heading] = []
            continue
        if heading is not None and line.startswith("data:"):
            headings[heading].append(line)
        if not line.startswith("|"):
            columns = None if not line.strip() else columns
            continue
        cells = [cell.strip() for cell in line.strip().strip("|").split(" | ")]
        if columns is None:
            columns = cells
            continue
        if set(line.replace("|", "").strip()) <= set("-"):
            continue
        row = dict(zip(columns, cells))
        if heading.startswith("list:"):
            lists.setdefault(heading[5:], []).append(row)
        else:
            sections.setdefault(heading, []).append(row)
    return sections, lists, headings


def in_game(row, game):
    return game in row.get("games", "").replace(" ", "").split(",")


def list_name(target):
    match = re.search(r"list:([A-Za-z0-9_:/()]+)", target)
    if not match:
        return None
    return re.sub(r"[^A-Za-z0-9_]", "_", match.group(1).split("/")[-1].split("::")[-1]).strip("_")


def reference_type(target):
    match = re.match(r"([A-Za-z0-9]+)", target)
    return match.group(1) if match and match.group(1) in TYPE_FOLDERS else None


def description(row):
    """The description text of a value key: the template "Add Value" writes and what "Set Value"
    offers. "#" stands for ";" in the file."""
    kind, target, notes = row.get("kind", ""), row.get("target", ""), row.get("notes", "")
    listed = list_name(target)
    if kind == "bool":
        text = "Selects Bool"
    elif listed and kind == "flags":
        text = "Lists " + listed
    elif listed and kind == "enum":
        text = "Selects " + listed
    elif reference_type(target):
        words = " ".join(f"{folder}::{reference_type(target)}" for folder in TYPE_FOLDERS[reference_type(target)])
        text = ("Named " + words) if re.match(r"^<[^>]+> <", notes) else words
    else:
        text = DEFAULT_TEXTS.get(kind, "")
    assert "Direct" not in text and ";" not in text
    return text


class Writer:
    def __init__(self):
        self.lines = []
        self.depth = 0

    def line(self, text=""):
        self.lines.append(("  " * self.depth + text).rstrip())

    def open(self, header):
        self.line(header)
        self.depth += 1

    def close(self):
        self.depth -= 1
        self.line("End")

    def values(self, rows, game, skip=()):
        seen = set()
        for row in rows:
            key = row["key"]
            if not in_game(row, game) or key in seen or key in skip or row["kind"] in ("block", "module"):
                continue
            if not re.fullmatch(r"[A-Za-z0-9_]+", key):
                continue
            seen.add(key)
            self.line(f"{key} = {description(row)}".rstrip())


class Generator:
    def __init__(self, facts):
        self.sections, self.lists, self.headings = parse_facts(facts)
        self.used_lists = set()

    def note_lists(self, rows, game):
        for row in rows:
            if in_game(row, game) and list_name(row.get("target", "")):
                self.used_lists.add(list_name(row["target"]))

    def sub_blocks(self, out, rows, game, depth):
        for row in rows:
            if row["kind"] != "block" or not in_game(row, game) or depth > 4:
                continue
            target = row["target"]
            key = row["key"]
            if target == "W3DModelDraw ConditionState":
                header = {"ConditionState": "ConditionState Implements ConditionState_decl Lists ModelConditionFlags",
                          "TransitionState": "TransitionState Implements ConditionState_decl",
                          }.get(key, f"{key} Implements ConditionState_decl")
                self.used_lists.add("ModelConditionFlags")
                out.open(header)
                out.close()
                continue
            if target == "Object module lines":
                continue  # written after the modules, copying them
            body = self.sections.get(target) or self.sections.get(target + " (3.1)") or self.find_section(target)
            out.open(key)
            if body is None:  # a block of free keys, such as UnitSpecificSounds
                out.close()
                continue
            self.block_body(out, body, game, depth + 1)
            out.close()

    def find_section(self, target):
        for heading, rows in self.sections.items():
            if heading.split(" (")[0] == target:
                return rows
        return None

    def block_body(self, out, rows, game, depth=0):
        self.note_lists(rows, game)
        out.values(rows, game)
        self.sub_blocks(out, rows, game, depth)

    def modules(self, out, game):
        for heading in self.headings:
            match = re.fullmatch(r"(Behavior|Body|Draw|ClientUpdate) = (\w+)", heading)
            if not match:
                continue
            data = " ".join(self.headings[heading])
            if not re.search(r"games: [A-Z,]*\b%s\b" % game, data):
                continue
            out.open(f"{match.group(1)} Specified {match.group(2)} ModuleTag_New")
            self.block_body(out, self.sections.get(heading, []), game)
            out.close()

    def declarations(self, out, game, module_headings=None):
        """Blocks that the object description and its module-holding sub-blocks copy."""
        condition_rows = [r for r in self.sections["W3DModelDraw ConditionState"] if in_game(r, game)]
        self.note_lists(condition_rows, game)
        out.open("ConditionState_decl")
        out.values(condition_rows, game)
        out.close()
        out.open("Module_decl")
        if module_headings is None:
            self.modules(out, game)
        else:
            for heading in module_headings:
                kind, module = heading.split(" = ")
                out.open(f"{kind} Specified {module} ModuleTag_New")
                self.block_body(out, [r for r in self.sections.get(heading, []) if in_game(r, game)], game)
                out.close()
        out.close()

    def object_type(self, out, game, rows):
        out.open("Object Implements Modules Module_decl")
        self.block_body(out, rows, game)
        for row in rows:
            if row["target"] == "Object module lines" and in_game(row, game):
                out.open(f"{row['key']} Implements Modules Module_decl")
                out.close()
        out.close()

    def top_level(self, out, game):
        table = self.sections["1. Top-level block types (table `theTypeTable` in Common/INI/INI.cpp)"]
        for row in sorted(table, key=lambda r: r["keyword"]):
            keyword, body = row["keyword"], row["body (section)"]
            if keyword == "Object" or game not in row["games"].split(","):
                continue
            rows = self.sections.get(body) or self.find_section(body.split(" (")[0])
            if body.startswith("(") or rows is None:
                continue
            out.open(keyword)
            self.block_body(out, rows, game)
            out.close()

    def choice_lists(self, out, game, names):
        out.open("Lists")
        out.open("Bool")
        out.line("No =")
        out.line("Yes =")
        out.close()
        for name, rows in sorted(self.lists.items()):
            short = list_name("list:" + name)
            if short not in names:
                continue
            entries = [r["name"] for r in rows if in_game(r, game) and re.fullmatch(r"[A-Za-z0-9_]+", r["name"])]
            if not entries:
                continue
            out.open(short)
            for entry in entries:
                out.line(f"{entry} =")
            out.close()
        out.close()

    def configuration(self, out, forced_objects, forced_values, objects_with_lists):
        for header, keys in (("ForcedObjects", forced_objects), ("ForcedValues", forced_values),
                             ("ObjectsWithLists", objects_with_lists)):
            out.open(header)
            for key in keys:
                out.line(f"{key} =")
            out.close()
        out.line("; The games' INI files have no raw-text areas: every line is read as keys and values.")
        out.open("StringAreas")
        out.close()

    def game(self, out, name, game):
        self.used_lists = set()
        out.open(name)
        self.configuration(out, FORCED_OBJECTS, FORCED_VALUES, OBJECTS_WITH_LISTS)
        out.open("INIStructure")
        self.declarations(out, game)
        self.object_type(out, game, self.sections["Object (ThingTemplate)"])
        self.top_level(out, game)
        out.close()
        self.choice_lists(out, game, self.used_lists | {"KindOf"})
        out.close()

    def bfme(self, out):
        """The Battle for Middle-earth shares the engine core of Generals; what it adds or drops is
        not known from the facts, so only the common Object core is described."""
        self.used_lists = set()
        out.line("; Battle for Middle-earth: the Object core shared with the Generals engine (not verified")
        out.line("; against the game); extend it from the game's own files.")
        out.open("BFME")
        self.configuration(out, BFME_FORCED_OBJECTS, FORCED_VALUES, BFME_OBJECTS_WITH_LISTS)
        out.open("INIStructure")
        # Keys that both Generals games share, described as Zero Hour describes them.
        core = "ZH"
        self.declarations(out, core, BFME_MODULES)
        shared = [r for r in self.sections["Object (ThingTemplate)"] if in_game(r, "GEN") and in_game(r, "ZH")]
        self.object_type(out, core, shared)
        out.close()
        self.choice_lists(out, "ZH", self.used_lists | {"KindOf"})
        out.close()


HEADER = """\
; Kestrel's configuration file. It lies beside the program and is read once at start.
;
; Written in the games' own INI dialect: a line holding "=" is a value, every other line opens a
; block closed by "End". In block headers the word "Specified" stands for "=", and in texts that
; the structure editing inserts "#" stands for ";".
;
; Per game: ForcedObjects (first words that open a module although their line holds "="),
; ForcedValues (first words that form a one-line entry), ObjectsWithLists (forced objects whose
; text after "=" stays in the header as a list), StringAreas (blocks whose body is raw text up to
; the terminator in their "End" value), INIStructure (what each block type may hold) and Lists
; (named choice lists: the keys of their values).
;
; Generated by scripts/generate_kestrel_ini.py from the games' INI facts.
"""


def main():
    facts = Path(sys.argv[1]) if len(sys.argv) > 1 else DEFAULT_FACTS
    output = Path(sys.argv[2]) if len(sys.argv) > 2 else ROOT / "resources" / "kestrel.ini"
    generator = Generator(facts.read_text(encoding="utf-8"))
    out = Writer()
    out.open("Games")
    generator.game(out, "Generals", "GEN")
    generator.game(out, "ZeroHour", "ZH")
    generator.bfme(out)
    out.close()
    text = HEADER + "\n" + "\n".join(out.lines) + "\n"
    output.write_bytes(text.replace("\n", "\r\n").encode("latin-1"))
    print(f"wrote {output} ({len(out.lines)} lines)")


if __name__ == "__main__":
    main()
