#!/usr/bin/env python3
"""Writes resources/kestrel.ini from the INI facts of the games (shared/reference).

The facts list every block type, key, module class and name list of Generals and Zero Hour with
the games each belongs to. This script turns them into Kestrel's configuration file: per game the
structure configuration (forced objects, forced values, objects with lists, string areas, and the
dialect: comment markers and directives), the choice lists, the blocks that take any key and a
structure description of the block types. The Battle for Middle-earth block starts from the
engine core it shares with Zero Hour and adds what kestrel_ini_bfme.py gathered from the game's
published files; what is unverified is marked in the file.

Usage: scripts/generate_kestrel_ini.py [FACTS] [OUTPUT]
"""
import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import kestrel_ini_bfme as bfme  # noqa: E402

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

BFME_FORCED_OBJECTS = FORCED_OBJECTS + bfme.FORCED_OBJECTS
BFME_OBJECTS_WITH_LISTS = OBJECTS_WITH_LISTS + bfme.OBJECTS_WITH_LISTS
# One-line top-level blocks without a body of their own.
ONE_LINE_TYPES = {"BenchProfile", "LODPreset", "ReallyLowMHz", "MapData", "ControlBarResizer"}
# Sub-blocks whose keys are free: the engine takes any key and looks some names up itself.
ANY_KEY_BLOCKS = ["UnitSpecificFX", "UnitSpecificSounds"]

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


def description(row, lists=None):
    """The description text of a value key: the template "Add Value" writes and what "Set Value"
    offers. "#" stands for ";" in the file. A list the game lacks (`lists` holds the ones it has)
    is not offered."""
    kind, target, notes = row.get("kind", ""), row.get("target", ""), row.get("notes", "")
    listed = list_name(target)
    if lists is not None and listed not in lists:
        listed = None
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
    def __init__(self, depth=0):
        self.lines = []
        self.depth = depth
        self.keys = set()         # every value key written
        self.block_names = set()  # the first word of every block header written
        self.lists = None         # the names of the game's choice lists

    def line(self, text=""):
        self.lines.append(("  " * self.depth + text).rstrip())

    def key(self, key, text=""):
        self.keys.add(key)
        self.line(f"{key} = {text}".rstrip())

    def open(self, header):
        self.block_names.add(header.split()[0])
        self.line(header)
        self.depth += 1

    def append(self, other):
        self.lines += other.lines
        self.keys |= other.keys
        self.block_names |= other.block_names

    def close(self):
        self.depth -= 1
        self.line("End")

    def values(self, rows, game, extra=()):
        """Writes the keys of `rows` and then the `extra` keys they lack; returns the keys written."""
        seen = set()
        for row in rows:
            key = row["key"]
            if not in_game(row, game) or key in seen or row["kind"] in ("block", "module"):
                continue
            if not re.fullmatch(r"[A-Za-z0-9_]+", key):
                continue
            seen.add(key)
            self.key(key, description(row, self.lists))
        for key in extra:
            if key not in seen:
                seen.add(key)
                self.key(key)
        return seen


class Generator:
    def __init__(self, facts):
        self.sections, self.lists, self.headings = parse_facts(facts)
        self.any_key_names = {}
        for block in ANY_KEY_BLOCKS:
            match = re.search(r"^- %s: (.*)$" % block, facts, re.M)
            self.any_key_names[block] = [n.strip() for n in match.group(1).split(",")] if match else []
        self.used_lists = set()

    def note_lists(self, rows, game):
        for row in rows:
            if in_game(row, game) and list_name(row.get("target", "")):
                self.used_lists.add(list_name(row["target"]))

    def any_keys(self, out, block, game):
        for name in self.any_key_names[block]:
            if "(ZH only)" in name and game != "ZH":
                continue
            out.key(name.replace("(ZH only)", "").strip(),
                    "soundeffects::AudioEvent" if block == "UnitSpecificSounds" else "fxlist::FXList")

    def sub_blocks(self, out, rows, game, depth, extra_blocks):
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
            if key in ANY_KEY_BLOCKS:
                self.any_keys(out, key, game)
            elif body is not None:
                self.block_body(out, body, game, depth + 1, extra_blocks.pop(key, ()))
            out.close()

    def find_section(self, target):
        for heading, rows in self.sections.items():
            if heading.split(" (")[0] == target:
                return rows
        return None

    def block_body(self, out, rows, game, depth=0, extra_keys=(), extra_blocks=None):
        """The keys and sub-blocks of `rows`, with the `extra_keys` and `extra_blocks` (name ->
        keys) of another game added."""
        extra_blocks = dict(extra_blocks or {})
        self.note_lists(rows, game)
        out.values(rows, game, extra_keys)
        self.sub_blocks(out, rows, game, depth, extra_blocks)
        for name, keys in extra_blocks.items():
            out.open(name)
            out.values([], game, keys)
            out.close()

    def modules(self, out, game, extra_modules=None):
        module_blocks = bfme.MODULE_BLOCKS if extra_modules is not None else {}
        extra_modules = dict(extra_modules or {})
        for heading in self.headings:
            match = re.fullmatch(r"(Behavior|Body|Draw|ClientUpdate) = (\w+)", heading)
            if not match:
                continue
            data = " ".join(self.headings[heading])
            if not re.search(r"games: [A-Z,]*\b%s\b" % game, data):
                continue
            module = (match.group(1), match.group(2))
            extra = extra_modules.pop(module, ())
            blocks = module_blocks.get(module)
            out.open(f"{match.group(1)} Specified {match.group(2)} ModuleTag_New")
            self.block_body(out, self.sections.get(heading, []), game, 0, extra, blocks)
            out.close()
        for (kind, module), keys in sorted(extra_modules.items()):
            out.open(f"{kind} Specified {module} ModuleTag_New")
            self.block_body(out, [], game, 0, keys, module_blocks.get((kind, module)))
            out.close()

    def scripted_draws(self, out):
        """The draw modules of the Battle for Middle-earth that are steered by model condition and
        animation states."""
        for module in bfme.SCRIPTED_DRAWS:
            out.open(f"Draw Specified {module} ModuleTag_New")
            out.values([], "ZH", bfme.SCRIPTED_DRAW_KEYS)
            out.open("LodOptions")
            out.values([], "ZH", bfme.LOD_OPTION_KEYS)
            out.close()
            for header in ("DefaultModelConditionState Implements ModelConditionState_decl",
                           "ModelConditionState Implements ModelConditionState_decl Lists ModelConditionFlags",
                           "AnimationState Implements AnimationState_decl Lists ModelConditionFlags",
                           "TransitionState Implements AnimationState_decl",
                           "IdleAnimationState Implements AnimationState_decl"):
                out.open(header)
                out.close()
            out.close()

    def declarations(self, out, game, extra_modules=None):
        """Blocks that the object description and its module-holding sub-blocks copy."""
        condition_rows = [r for r in self.sections["W3DModelDraw ConditionState"] if in_game(r, game)]
        self.note_lists(condition_rows, game)
        out.open("ConditionState_decl")
        out.values(condition_rows, game)
        out.close()
        if extra_modules is not None:
            out.open("ModelConditionState_decl")
            out.values(condition_rows, game, bfme.MODEL_STATE_KEYS)
            out.close()
            out.open("AnimationState_decl")
            out.values([], game, bfme.ANIMATION_STATE_KEYS)
            out.open("Animation")
            out.values([], game, bfme.ANIMATION_KEYS)
            out.close()
            out.open("BeginScript")
            out.close()
            out.close()
        out.open("Module_decl")
        self.modules(out, game, extra_modules)
        if extra_modules is not None:
            self.scripted_draws(out)
        out.close()

    def object_type(self, out, game, rows, extra_keys=(), extra_blocks=None):
        out.open("Object Implements Modules Module_decl")
        self.block_body(out, rows, game, 0, extra_keys, extra_blocks)
        for row in rows:
            if row["target"] == "Object module lines" and in_game(row, game):
                out.open(f"{row['key']} Implements Modules Module_decl")
                out.close()
        out.close()

    def top_level(self, out, game, extra_types=None):
        extra_types = dict(extra_types or {})
        table = self.sections["1. Top-level block types (table `theTypeTable` in Common/INI/INI.cpp)"]
        for row in sorted(table, key=lambda r: r["keyword"]):
            keyword, body = row["keyword"], row["body (section)"]
            if keyword == "Object" or game not in row["games"].split(","):
                continue
            rows = self.sections.get(body) or self.find_section(body.split(" (")[0])
            if keyword in ONE_LINE_TYPES:
                rows = rows or []
            elif body.startswith("(") or rows is None:
                continue
            # A reskin copies an Object and then takes its Draw modules.
            out.open(keyword + (" Implements Modules Module_decl" if keyword == "ObjectReskin" else ""))
            keys, blocks = extra_types.pop(keyword, ((), {}))
            self.block_body(out, rows, game, 0, keys, blocks)
            out.close()
        for keyword, (keys, blocks) in sorted(extra_types.items()):
            out.open(keyword)
            self.block_body(out, [], game, 0, keys, blocks)
            out.close()

    def list_names(self, game):
        names = {"Bool"}
        for name, rows in self.lists.items():
            if any(in_game(r, game) and re.fullmatch(r"[A-Za-z0-9_]+", r["name"]) for r in rows):
                names.add(list_name("list:" + name))
        return names

    def choice_lists(self, out, game):
        """Every enumeration and flag list of the game, and Bool for the Yes/No keys."""
        out.open("Lists")
        out.open("Bool")
        out.key("No")
        out.key("Yes")
        out.close()
        for name, rows in sorted(self.lists.items(), key=lambda item: list_name("list:" + item[0])):
            short = list_name("list:" + name)
            entries = [r["name"] for r in rows if in_game(r, game) and re.fullmatch(r"[A-Za-z0-9_]+", r["name"])]
            if not entries:
                continue
            out.open(short)
            for entry in entries:
                out.key(entry)
            out.close()
        out.close()

    def configuration(self, out, forced_objects, forced_values, objects_with_lists, dialect=None):
        for header, keys in (("ForcedObjects", forced_objects), ("ForcedValues", forced_values),
                             ("ObjectsWithLists", objects_with_lists), ("AnyKeys", ANY_KEY_BLOCKS)):
            out.open(header)
            for key in keys:
                out.key(key)
            if header == "ForcedObjects" and dialect is not None:
                out.line("; Only inside the blocks named after \"=\":")
                for key, parents in dialect.FORCED_OBJECTS_IN.items():
                    out.key(key, parents)
            out.close()
        if dialect is None:
            out.line("; The games' INI files have no raw-text areas: every line is read as keys and values.")
            out.open("StringAreas")
            out.close()
            return
        out.open("StringAreas")
        for area, terminator in dialect.STRING_AREAS.items():
            out.open(area)
            out.key("End", terminator)
            out.close()
        out.close()
        out.line("; Comment markers besides \";\" and first words of one-line directives.")
        for header, keys in (("LineComments", dialect.LINE_COMMENTS), ("Directives", dialect.DIRECTIVES)):
            out.open(header)
            for key in keys:
                out.key(key)
            out.close()

    def game(self, out, name, game):
        self.used_lists = set()
        out.lists = self.list_names(game)
        out.open(name)
        self.configuration(out, FORCED_OBJECTS, FORCED_VALUES, OBJECTS_WITH_LISTS)
        out.open("INIStructure")
        self.declarations(out, game)
        self.object_type(out, game, self.sections["Object (ThingTemplate)"])
        self.top_level(out, game)
        out.close()
        self.choice_lists(out, game)
        out.close()

    def bfme(self, out):
        """The Battle for Middle-earth: the engine core shared with Zero Hour, described as Zero Hour
        describes it, with what the game's own files add."""
        out.line("; Battle for Middle-earth (I and II). The engine core it shares with Zero Hour is described")
        out.line("; as Zero Hour describes it: not verified against the game. Verified from the first game's")
        out.line("; published INI files: the dialect (\"//\" comments, #include and #define lines, scripts")
        out.line("; between BeginScript and EndScript), the scripted draw modules with their condition and")
        out.line("; animation states, the Object keys and modules and the block types named in")
        out.line("; scripts/kestrel_ini_bfme.py. Unverified: the other preprocessor words (#undef, #ifdef,")
        out.line("; #ifndef, #else, #endif), the Object keys and sub-blocks the public reimplementation OpenSAGE")
        out.line("; reads (REPORTED_OBJECT_KEYS), the other keys of the second game, and the block types the")
        out.line("; later engine is reported to read, which are described without keys: " +
                 ", ".join(bfme.UNVERIFIED_BLOCK_TYPES[:3]) + " ...")
        out.line("; The games accept a key without \"=\", so every described key is a forced value unless it")
        out.line("; also names a block.")
        out.open("BFME")
        core = "ZH"
        structure = Writer(out.depth)
        structure.lists = self.list_names(core)
        structure.open("INIStructure")
        self.declarations(structure, core, bfme.MODULES)
        self.object_type(structure, core, self.sections["Object (ThingTemplate)"],
                         bfme.OBJECT_KEYS + bfme.REPORTED_OBJECT_KEYS, bfme.OBJECT_BLOCKS)
        # A child object copies its parent Object and then changes what it lists.
        structure.open("ChildObject Implements Object")
        structure.close()
        extra_types = dict(bfme.BLOCK_TYPES)
        for keyword in bfme.UNVERIFIED_BLOCK_TYPES + bfme.ONE_LINE_TYPES:
            extra_types.setdefault(keyword, ((), {}))
        self.top_level(structure, core, extra_types)
        structure.close()
        blocks = structure.block_names | set(BFME_FORCED_OBJECTS) | set(bfme.FORCED_OBJECTS_IN)
        forced_values = sorted(set(FORCED_VALUES) | set(bfme.ONE_LINE_TYPES) |
                               {k for k in structure.keys if k not in blocks})
        self.configuration(out, BFME_FORCED_OBJECTS, forced_values, BFME_OBJECTS_WITH_LISTS, bfme)
        out.append(structure)
        self.choice_lists(out, core)
        out.close()


HEADER = """\
; Kestrel's configuration file. It lies beside the program and is read once at start.
;
; Written in the games' own INI dialect: a line holding "=" is a value, every other line opens a
; block closed by a line whose first word is "End". In block headers the word "Specified" stands
; for "=", and in texts that the structure editing inserts "#" stands for ";".
;
; Per game: ForcedObjects (first words that open a module although their line holds "="; one
; whose value names blocks does so only inside blocks of those names), ForcedValues (first words that form a one-line entry), ObjectsWithLists (forced objects whose
; text after "=" stays in the header as a list), StringAreas (blocks whose body is raw text up to
; the terminator in their "End" value), LineComments (markers that start a comment besides ";")
; and Directives (first words of one-line directives such as #include, which never open a block),
; AnyKeys (blocks that take any key), INIStructure (what each block type may hold) and Lists
; (named choice lists: the keys of their values). A game without LineComments and Directives is
; read as Generals reads its files.
;
; Generated by scripts/generate_kestrel_ini.py: edit the script, not this file.
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
