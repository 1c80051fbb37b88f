#!/usr/bin/env python3
"""Writes the seeds of the string-table fuzzer into fuzz/strings/corpus: CSF tables with plain and
extra strings, several strings per label, non-Latin text, damaged tables and the three text forms."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def string(value, extra=None):
    units = value.encode("utf-16-le")
    out = (b"WRTS" if extra is not None else b" RTS") + struct.pack("<I", len(units) // 2)
    out += bytes(b ^ 0xFF for b in units)
    if extra is not None:
        out += struct.pack("<I", len(extra)) + extra
    return out


def table(labels, version=3, language=0, label_count=None, string_count=None):
    body = b""
    for name, strings in labels:
        body += b" LBL" + struct.pack("<II", len(strings), len(name)) + name
        body += b"".join(string(*s) for s in strings)
    labels_declared = len(labels) if label_count is None else label_count
    strings_declared = sum(len(s) for _, s in labels) if string_count is None else string_count
    return b" FSC" + struct.pack("<IIIII", version, labels_declared, strings_declared, 0, language) + body


GOOD = table([
    (b"OBJECT:Humvee", [("Humvee",)]),
    (b"GUI:Multi", [("first\nline two",), ("second", b"speech\\voice")]),
    (b"NAME:Tank", [("\u9ad8\u901f\u6226\u8eca \U0001F680",)]),
    (b"GUI:Empty", [("",)]),
    (b"GUI:None", []),
], language=6)

SEEDS = {
    "good.csf": GOOD,
    "count-past-end.csf": table([(b"A:B", [("x",)])], label_count=5),
    "bad-label-marker.csf": GOOD[:24] + b" LBX" + GOOD[28:],
    "cut-in-value.csf": GOOD[:70],
    "header-only.csf": GOOD[:24],
    "good.str": b"// comment\nOBJECT:Humvee\n\"Humvee\"\nEND\n\nGUI:Multi\n\"a\\nb\"\nEXTRA \"x\"\n\"two\nlines\"\nEND\n",
    "good.csv": b"label,value,extra\nA:B,\"x, \"\"y\"\"\"\nA:B,z,extra\nC:D\n",
    "good.po": b"msgid \"\"\nmsgstr \"\"\n\n#. extra: \"e\"\nmsgctxt \"A:B\"\nmsgid \"x\"\nmsgstr \"y\"\n",
}

for name, data in SEEDS.items():
    with open(os.path.join(HERE, "corpus", name), "wb") as f:
        f.write(data)
