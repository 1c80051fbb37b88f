#!/usr/bin/env python3
"""Writes the seed archives of the archive fuzzer into fuzz/archive/corpus: well-formed archives of
both variants and the odd and damaged shapes that other tools and broken downloads produce."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
MARKERS = {b"BIGF": b"L225\0\0\0\0", b"BIG4": b"L253\x15\x05\0\0\0"}


def archive(entries, magic=b"BIGF", marker=None, gap=0, field12=None, size_field=None, count=None):
    marker = MARKERS.get(magic, b"") if marker is None else marker
    table_length = 16 + sum(8 + len(name) + 1 for name, _ in entries)
    data_start = table_length + len(marker) + gap
    total = data_start + sum(len(data) for _, data in entries)
    out = bytearray(magic)
    out += struct.pack("<I", total if size_field is None else size_field)
    out += struct.pack(">II", len(entries) if count is None else count,
                       data_start - 1 if field12 is None else field12)
    position = data_start
    for name, data in entries:
        out += struct.pack(">II", position, len(data)) + name + b"\0"
        position += len(data)
    out += marker + b"\0" * gap
    for _, data in entries:
        out += data
    return bytes(out)


ENTRIES = [(b"art\\textures\\a.tga", b"AAAA"), (b"data\\ini\\object.ini", b"Object X\nEnd\n"), (b"z.txt", b"zz")]
DUPLICATES = [(b"data\\ini\\weapon.ini", b"1"), (b"DATA\\INI\\Weapon.ini", b"22"), (b"e", b"")]

seeds = {
    "bigf-three.big": archive(ENTRIES),
    "big4-three.big": archive(ENTRIES, magic=b"BIG4"),
    "empty-bigf.big": archive([]),
    "empty-big4.big": archive([], magic=b"BIG4"),
    "unknown-magic.big": archive(ENTRIES, magic=b"BIGX", gap=8),
    "l219-marker-gap.big": archive(ENTRIES, marker=b"L219", gap=5, field12=3, size_field=0xDEADBEEF),
    "big4-five-byte-marker.big": archive(ENTRIES, magic=b"BIG4", marker=b"L253\x15"),
    "duplicates.big": archive(DUPLICATES),
    "count-too-large.big": archive(ENTRIES, count=0x7FFFFFFF),
    "truncated-name.big": archive(ENTRIES)[:60],
    "short-header.big": b"BIGF\0\0\0",
}
shared = bytearray(archive(ENTRIES))
shared[43:51] = struct.pack(">II", 93, 4)  # the second record points at the first one's bytes
seeds["shared-bytes.big"] = bytes(shared)

os.makedirs(os.path.join(HERE, "corpus"), exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(HERE, "corpus", name), "wb") as f:
        f.write(data)
