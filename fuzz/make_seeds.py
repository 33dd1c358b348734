#!/usr/bin/env python3
"""Writes the small seed corpora under fuzz/corpus/ (run once; the seeds are committed).
Picture seeds need ImageMagick's convert; .x seeds are written by hand here."""
import os
import struct
import subprocess
import sys
import tempfile

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def put(target, name, data):
    d = os.path.join(root, target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


def state(slides, angles, x, z, owner, goal, s1, s2):
    return bytes(s & 0xFF for s in slides) + bytes(a & 0xFF for a in angles) + \
        struct.pack("<ffbbbb", x, z, owner, goal, s1, s2)


def frame(datagrams, dt=0x2A, mx=0, my=0, keys=0):
    out = bytes([len(datagrams) | keys, dt, mx & 0xFF, my & 0xFF])
    for d in datagrams:
        out += bytes([0]) + d if len(d) == 24 else bytes([255 if len(d) == 130 else 160 + len(d)]) + d
    return out


def exchange_seeds():
    face = [25, 10, 25, 1, 25, 10]
    ang = [96] * 6
    # creating machine: a quiet exchange, a strike that hands the puck over, a reported goal,
    # odd lengths and two datagrams in one frame
    hdr = bytes([0, 0, 0, 0, 0, 0, 0, 0])
    quiet = hdr + b"".join(frame([state(face, ang, 0.0, 0.0, 0, 0, 0, 0)]) for _ in range(8))
    put("exchange_creating", "quiet", quiet)
    strike = bytes([1, 0, 0, 0, 0, 0, 0, 2]) + frame([state(face, ang, 0.3, -0.2, 0, 0, 0, 0)], mx=5, my=-9) + \
        b"".join(frame([state(face, ang, 10.0 + i, 40.0 - i, 0, 0, 0, 0)], my=-6) for i in range(6))
    put("exchange_creating", "strike", strike)
    goal = hdr + frame([state(face, ang, 0.0, 118.0, 0, 1, 0, 0)]) + frame([state(face, ang, 0.0, 0.0, 0, 1, 0, 0)]) + \
        b"".join(frame([], dt=0xFF) for _ in range(20)) + frame([state(face, ang, 0.0, 0.0, 0, 0, 0, 0)])
    put("exchange_creating", "goal", goal)
    odd = hdr + frame([b"\x01" * 23, b"\x02" * 25]) + frame([b"", state(face, ang, 0.0, 0.0, 0, 0, 0, 0)]) + \
        frame([state([-1] * 6, [127] * 6, 3e38, -3e38, 7, 9, 100, -5)])
    put("exchange_creating", "odd", odd)

    # joining machine: replies while the creating machine owns the puck, hand-over,
    # a goal and the tenth goal, odd lengths
    hdrj = bytes([0, 0, 0, 0, 0, 0, 0, 0])
    owned = hdrj + b"".join(frame([state(face, ang, 5.0 * i, -3.0 * i, 1, 0, 0, 0)], mx=3) for i in range(8))
    put("exchange_joining", "owned", owned)
    handover = bytes([1, 0, 0, 0, 0, 0, 0, 1]) + frame([state(face, ang, 0.0, 0.0, 2, 0, 0, 0)], my=9) + \
        b"".join(frame([], dt=0x80, my=-4) for _ in range(10)) + frame([state(face, ang, 1.0, 2.0, 1, 0, 0, 0)])
    put("exchange_joining", "handover", handover)
    goals = hdrj + frame([state(face, ang, 0.0, 0.0, 1, 2, 3, 4)]) + frame([state(face, ang, 0.0, 0.0, 1, 2, 3, 10)]) + \
        b"".join(frame([], dt=0xFF) for _ in range(40))
    put("exchange_joining", "goals", goals)
    put("exchange_joining", "odd", hdrj + frame([b"\x07" * 130, b"\x05" * 94, state(face, ang, -0.0, 1e-45, 2, 1, -1, 0)]) +
        frame([b"\x00" * 12]))


def options_seeds():
    def record(sens, port, addr, detail, eff, mus):
        a = addr.encode() + b"\0"
        a = a + b"\xAA" * (20 - len(a))
        return struct.pack("<fi", sens, port) + a[:20] + bytes([detail, 0, 0, 0]) + struct.pack("<ii", eff, mus)
    tail = bytes([3, 1, 2, 3, 15]) + bytes(range(1, 16)) + bytes([9, 250, 3, 7, 200, 40, 1, 1]) + bytes(range(40))
    put("options", "defaults", bytes([0]) + record(0.4, 6116, "127.000.000.001", 1, 50, 50) + tail)
    put("options", "edges", bytes([0]) + record(2.0, 65535, "255.255.255.255", 0, 99, 0) + tail)
    put("options", "damaged", bytes([0]) + struct.pack("<I", 0x7FC00000) + struct.pack("<i", -2**31) + b"9" * 20 +
        bytes([7, 1, 2, 3]) + struct.pack("<ii", 2**31 - 1, -2**31) + tail)
    put("options", "short", bytes([200 + 17]) + b"\x01" * 17 + tail)
    put("options", "long", bytes([200 + 55]) + record(0.05, 1, "1.2.3.4", 1, 1, 100) + b"\xFF" * 15 + tail)


XFILE = b"""xof 0303txt 0032
Frame Root {
 FrameTransformMatrix { 1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 0.0,2.0,0.0,1.0;; }
 Mesh quad {
  4;
  -1.0;0.0;-1.0;, 1.0;0.0;-1.0;, 1.0;0.0;1.0;, -1.0;0.0;1.0;;
  2;
  3;0,1,2;, 3;0,2,3;;
  MeshNormals { 1; 0.0;1.0;0.0;; 2; 3;0,0,0;, 3;0,0,0;; }
  MeshTextureCoords { 4; 0.0;0.0;, 1.0;0.0;, 1.0;1.0;, 0.0;1.0;; }
  MeshMaterialList { 1; 2; 0, 0;; Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; TextureFilename { "rink.jpg"; } } }
 }
}
"""

XFILE_QUADFACE = b"""xof 0303txt 0032
template Vector { <3D82AB5E-62DA-11cf-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }
Mesh {
 5; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;, 0.5;0.5;1.5;;
 2; 4;0,1,2,3;, 3;1,2,4;;
}
"""

XFILE_NESTED = b"""xof 0303txt 0064
// comment
# another
Frame a { Frame b { FrameTransformMatrix { 2,0,0,0, 0,2,0,0, 0,0,2,0, 1,1,1,1;; }
 Mesh m { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 3;0,1,2;; MeshNormals { 3; 0;1;0;, 0;1;0;, 0;1;0;; 1; 3;0,1,2;; } } } }
"""


def xfile_seeds():
    put("xfile", "quad", XFILE)
    put("xfile", "quadface", XFILE_QUADFACE)
    put("xfile", "nested", XFILE_NESTED)
    put("xfile", "header_only", b"xof 0303txt 0032\n")


def picture_seeds():
    with tempfile.TemporaryDirectory() as tmp:
        made = []
        for name, args in [("small.bmp", ["-size", "5x3", "xc:black", "-fill", "red", "-draw", "point 1,1"]),
                           ("small.jpg", ["-size", "6x5", "gradient:blue-black", "-quality", "50"]),
                           ("small.png", ["-size", "3x7", "xc:white", "-fill", "black", "-draw", "point 0,0"]),
                           ("bmp32.bmp", ["-size", "2x2", "xc:green", "-define", "bmp:format=bmp4"])]:
            path = os.path.join(tmp, name)
            cmd = ["convert"] + args + ([ "-type", "TrueColor"] if name.endswith(".bmp") else []) + [path]
            if subprocess.call(cmd) != 0:
                sys.exit("convert failed for " + name)
            made.append((name, open(path, "rb").read()))
        for i, (name, data) in enumerate(made):
            put("picture", name, bytes([i & 1]) + data)
            put("picture", "keyed_" + name, bytes([1]) + data)


def address_seeds():
    for i, text in enumerate([b"127.000.000.001", b"192.168.001.010", b"255.255.255.255", b"0.0.0.0",
                              b"256.1.1.1", b"1.2.3", b"1..2.3", b"01.02.03.04\x00junk", b"localhost",
                              b"999999999999.1.1.1", b"-1.2.3.4", b"1.2.3.4 "]):
        put("dotted_address", "a%02d" % i, text)


def sound_file_seeds():
    def wav(channels, rate, bits, data, extra=b""):
        align = channels * bits // 8
        fmt = struct.pack("<HHIIHH", 1, channels, rate, rate * align, align, bits)
        body = b"WAVE" + extra + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
        return b"RIFF" + struct.pack("<I", len(body)) + body
    put("sound_file", "mono16.wav", bytes([0]) + wav(1, 44100, 16, bytes(range(64))))
    put("sound_file", "stereo8_list.wav", bytes([0]) + wav(2, 22050, 8, bytes(range(31)), b"LIST" + struct.pack("<I", 3) + b"abc\0"))

    def frame(stereo=False, fill=0x55):  # MPEG-1 layer III, 44.1 kHz, 128 kbit/s: 417 bytes
        return bytes([0xFF, 0xFB, 0x90, 0x00 if stereo else 0xC0]) + bytes([fill]) * 413
    info = bytearray(frame(fill=0))
    info[21:25] = b"Info"
    info[25:29] = struct.pack(">I", 1)  # frame count only
    lame = 21 + 8 + 4
    info[lame:lame + 9] = b"LAME3.100"
    info[lame + 21:lame + 24] = bytes([0x24, 0x00, 0x7B])  # delay 576, padding 123
    put("sound_file", "info_lame.mp3", bytes([1]) + bytes(info) + frame() * 3)
    put("sound_file", "id3_tags.mp3", bytes([1]) + b"ID3\4\0\0\0\0\0\3abc" + frame(True) * 2 + b"TAG" + bytes(125))


exchange_seeds()
options_seeds()
xfile_seeds()
picture_seeds()
address_seeds()
sound_file_seeds()
