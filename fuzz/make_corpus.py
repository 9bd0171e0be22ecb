#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora into fuzz/corpus/. Run again after changing it."""
import os
import random
import struct

here = os.path.dirname(os.path.abspath(__file__))
COUNTERS = 448
HOLDER = 15


def score_file(version, base, names=True):
    data = bytearray(struct.pack("<I", version))
    for i in range(COUNTERS):
        data += struct.pack("<I", (base + i) & 0xFFFFFFFF)
    for i in range(COUNTERS):
        name = (b"R%d" % i) if names else b""
        data += name + bytes(HOLDER - len(name))
    assert len(data) == 8516
    return bytes(data)


def keys(ints):
    return b"".join(struct.pack("<i", k) for k in ints)


def write(folder, name, data):
    path = os.path.join(here, "corpus", folder)
    os.makedirs(path, exist_ok=True)
    with open(os.path.join(path, name), "wb") as f:
        f.write(data)


write("score_file", "whole", score_file(10100, 1000))
write("score_file", "oldest_version", score_file(10000, 7, names=False))
write("score_file", "too_old", score_file(9999, 5))
write("score_file", "hundred_bytes", score_file(10100, 2000)[:100])
write("score_file", "inside_the_holders", score_file(10100, 0)[:4000])
write("score_file", "longer_than_a_file", score_file(10100, 3) + b"extra")
write("score_file", "version_only", struct.pack("<I", 10100))

rng = random.Random(20261207)
MOVES = [ord(c) for c in "123456789"] + [0x102, 0x103, 0x104, 0x105, 0x1C1, 0x1C3, 0x1C5, 0x1C7, 0x1C9]
ACTIONS = [ord(c) for c in "qweadzxcQWEADZXC"]


def wander(count):
    out = []
    for _ in range(count):
        r = rng.random()
        out.append(0 if r < 0.45 else rng.choice(MOVES) if r < 0.75 else rng.choice(ACTIONS) if r < 0.97 else ord("s"))
    return out


clock = [1000]
# Start at once, then wander for a few thousand frames.
write("game_keys", "wander", keys(clock + [ord("x"), ord("x")] + wander(4000)))
# Choose another faction with the arrows, then play.
write("game_keys", "faction_choice", keys([77777, ord("x"), 0x104, 0x104, ord("6"), 0, ord("x")] + wander(1500)))
# The records from the title, every page turned.
write("game_keys", "records_first", keys([5, ord("h")] + [0, ord(" ")] * 11 + [ord("x")] + wander(300)))
# The status screen and back, over and over.
write("game_keys", "status", keys([9, ord("x"), ord("x")] + [ord("s"), 0, ord("a"), ord("6")] * 200))
