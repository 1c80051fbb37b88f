#!/usr/bin/env python3
"""Writes the seeds of the WAV fuzzer into fuzz/sound/corpus: PCM of each depth, mono and stereo
IMA ADPCM, an extensible header, padding, a cut-short data chunk and a damaged header."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def chunk(ident, body, declared=None):
    size = len(body) if declared is None else declared
    return ident + struct.pack("<I", size) + body + (b"\0" if len(body) % 2 else b"")


def fmt(tag, channels, rate, align, bits, extension=None):
    body = struct.pack("<HHIIHH", tag, channels, rate, rate * align, align, bits)
    if extension is not None:
        body += struct.pack("<H", len(extension)) + extension
    return chunk(b"fmt ", body)


def wav(*chunks):
    body = b"WAVE" + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def pcm(channels, bits, frames):
    width = bits // 8
    data = bytes((i * 37) & 0xFF for i in range(frames * channels * width))
    return wav(fmt(1, channels, 22050, channels * width, bits), chunk(b"data", data))


def ima(channels, align):
    per_block = (align - 4 * channels) * 2 // channels + 1
    header = b"".join(struct.pack("<hBB", 100 * c, 20, 0) for c in range(channels))
    block = header + bytes((i * 91) & 0xFF for i in range(align - len(header)))
    return wav(fmt(0x11, channels, 22050, align, 4, struct.pack("<H", per_block)),
               chunk(b"fact", struct.pack("<I", per_block * 2 - 3)), chunk(b"data", block * 2))


GUID_PCM = struct.pack("<HHI", 1, 0, 0x00100000) + bytes([0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71])

SEEDS = {
    "pcm8-mono.wav": pcm(1, 8, 40),
    "pcm16-stereo.wav": pcm(2, 16, 40),
    "pcm24-mono.wav": pcm(1, 24, 20),
    "ima-mono.wav": ima(1, 36),
    "ima-stereo.wav": ima(2, 40),
    "extensible-pcm16.wav": wav(fmt(0xFFFE, 2, 44100, 4, 16, struct.pack("<HI", 16, 3) + GUID_PCM),
                                chunk(b"data", bytes(range(64)))),
    "odd-chunk-padded.wav": wav(fmt(1, 1, 22050, 2, 16), chunk(b"LIST", b"abc"), chunk(b"data", bytes(16))),
    "data-cut-short.wav": wav(fmt(1, 1, 22050, 2, 16), chunk(b"data", bytes(range(30)), declared=4000)),
    "fmt-too-short.wav": wav(chunk(b"fmt ", bytes(10)), chunk(b"data", bytes(8))),
}

for name, data in SEEDS.items():
    with open(os.path.join(HERE, "corpus", name), "wb") as f:
        f.write(data)
