#!/usr/bin/env python3
"""Makes the stand-in update images embedded in the tool.

The tool treats the firmware image and the sound data as opaque bytes; it
reads only the firmware's 96-byte information block at offset 256 and the
sound package's 8-byte header. These stand-ins have exactly the size and
those fields of the images the tool ships with, and deterministic filler
elsewhere, so the same bytes come out on every run. To ship a real image,
replace blow.bin or wave_list.bin with it.

    python3 resources/make_images.py
"""
import hashlib
import os
import struct

FIRMWARE_SIZE = 94144
SOUND_SIZE = 677865
HERE = os.path.dirname(os.path.abspath(__file__))


def filler(seed, size):
    out = bytearray()
    counter = 0
    while len(out) < size:
        out += hashlib.sha256(b"%s-%d" % (seed, counter)).digest()
        counter += 1
    return bytes(out[:size])


def unit_crc32(data):
    """The unit's checksum: reflected 0xEDB88320, start 0, no final xor."""
    table = []
    for n in range(256):
        r = n
        for _ in range(8):
            r = (r >> 1) ^ 0xEDB88320 if r & 1 else r >> 1
        table.append(r)
    r = 0
    for b in data:
        r = table[(r ^ b) & 0xFF] ^ (r >> 8)
    return r


def field(text, width):
    raw = text.encode("ascii")
    assert len(raw) < width
    return raw + bytes(width - len(raw))


def firmware():
    image = bytearray(filler(b"blow", FIRMWARE_SIZE))
    info = field("K57BT", 48) + field("000.009", 16) + field("Jul  7 2017 14:05:33", 32)
    image[256:256 + 96] = info
    return bytes(image)


def sound():
    data = filler(b"wave_list", SOUND_SIZE - 8)
    return struct.pack("<II", len(data), unit_crc32(data)) + data


if __name__ == "__main__":
    for name, content in (("blow.bin", firmware()), ("wave_list.bin", sound())):
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(content)
        print(name, len(content))
