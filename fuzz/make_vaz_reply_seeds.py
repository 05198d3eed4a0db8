#!/usr/bin/env python3
"""Writes the seed corpus of vaz-reply-fuzz: per link and scenario, the
replies a sound reader gives (the layout is in reader_peer.h)."""
import os
import sys

EN = b"EN"


def reply(*elements):
    return list(elements)


def handshake(serial):
    ident = [b"R6KTM10034721/"] + ([b"\r\n"] if serial else []) + [EN]
    return [reply(EN, EN), reply(*ident), reply(b"\x07\x00\x00\x00", EN)]


def length(n):
    return b"%04d" % n


def scenarios(serial):
    gray = bytes(range(48)) * 2
    curve = bytes(24 * 75) + b"\x08\x07\x00\x00"
    return [
        [],
        [reply(EN)],                                                   # R/
        [reply(EN, length(10), b"0123456789\x00", EN)],                # r A 0001 0100/
        [reply(EN, b"0073", EN)],                                      # r A/
        [reply(EN, b"\x10\x20", EN)],                                  # I 1/
        [reply(EN, b"\x49", EN)],                                      # I 3/
        [reply(EN, EN, length(96), gray, length(96), gray, EN)],       # I 2 73/
        [reply(EN, length(96), gray, length(96), gray, EN)],           # I 7/
        [reply(EN, length(96), gray, EN)],                             # I 4/
        [reply(EN, length(len(curve)), b"0073", curve, EN)],           # I 6 0/
        [reply(EN, length(len(curve)), curve, EN), reply(EN, EN)],     # I 6 1/, I 5
        [reply(EN), reply(length(7), b"1 2 3 4", EN), reply(EN)],      # X 0, X 2, X 1
        [reply(b"R6KTM10034721/", *([b"\r\n"] if serial else []), EN),
         reply(b"\x07\x00\x00\x00", EN), reply(EN, EN)],               # VazSG
        [reply(b"R6KTM10034721/", *([b"\r\n"] if serial else []), EN),
         reply(b"\x07\x00\x00\x00", EN)],                              # VazGetDevInfo
        [reply(EN, b"\xfc\xfc", b"\xff\xff"), reply(EN), reply(EN)],   # VazSetTest, VazSetPaint
        [reply(EN), reply(EN), reply(EN), reply(EN)],                  # H, Y, K 1, K 0
        [reply(b"NO"), reply(b"NO"), reply(EN)],                       # read mode 1: R/ until a card
        [reply(EN), reply(EN), reply(EN), reply(EN), reply(EN), reply(EN)],  # print mode
        [reply(EN), reply(EN), reply(EN), reply(EN), reply(EN), reply(EN),  # S, 3 lines, EN/
         reply(EN), reply(EN, length(10), b"0123456789\x00", EN), reply(b"000001")],
        [reply(), reply(EN, EN), reply(EN, EN), reply(EN), reply(b"06")],   # T, m, M, L, G
        [reply(EN, b"\xfc\xfc", b"\xff\xff")],                         # I 0 after VazSetStop
    ]


def encode(link, index, replies):
    out = bytearray([link, index])
    for r in replies:
        if not r:
            out += b"\x00"
        for k, e in enumerate(r):
            for start in range(0, max(len(e), 1), 127):  # long elements as continued records
                piece = e[start:start + 127]
                cont = k > 0 or start > 0
                out += bytes([len(piece) | (0x80 if cont else 0)]) + piece
    return bytes(out)


def main(folder):
    os.makedirs(folder, exist_ok=True)
    for link, name in ((0, "hid"), (1, "serial")):
        for index, replies in enumerate(scenarios(link == 1)):
            path = os.path.join(folder, "%s_%02d" % (name, index))
            with open(path, "wb") as f:
                f.write(encode(link, index, handshake(link == 1) + replies))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus", "vaz_reply"))
