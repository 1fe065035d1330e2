#!/usr/bin/env python3
"""Holds k57dbc's decoding against canmatrix's on real DBC files.

For every message of each file: random frames of the message's length
(seeded, so a failure repeats), decoded by canmatrix and by the decoder
program given; every signal that canmatrix decodes (for a multiplexed
message, only those the multiplexor value selects) must come out with the
same physical value, and no other. Exit 77 (skipped) when canmatrix or the
files are missing.

Usage: oracle.py DECODER DBC_FOLDER [FRAMES_PER_MESSAGE]
"""
import logging
import math
import os
import random
import re
import subprocess
import sys

FILES = ["mazda_2017.dbc", "mercedes_benz_e350_2010.dbc", "tesla_can.dbc", "test.dbc",
         "vw_mqb.dbc"]
RELATIVE = 1e-9


def main():
    decoder, folder = sys.argv[1], sys.argv[2]
    per_message = int(sys.argv[3]) if len(sys.argv) > 3 else 2000
    try:
        import canmatrix.formats
    except ImportError:
        print("canmatrix is not installed (scripts/setup.sh installs python3-canmatrix)")
        return 77
    if not all(os.path.exists(os.path.join(folder, f)) for f in FILES):
        print("the DBC files are not in " + folder)
        return 77
    logging.disable(logging.CRITICAL)  # canmatrix's remarks on the files
    failures = 0
    for name in FILES:
        failures += check_file(canmatrix.formats, decoder, os.path.join(folder, name),
                               per_message)
    print("%d mismatches" % failures)
    return 1 if failures else 0


def check_file(formats, decoder, path, per_message):
    matrix = formats.loadp_flat(path, dbcImportEncoding="cp1252")
    rng = random.Random(name_seed(path))
    # Signals the decoder leaves out because no frame of their message's
    # length holds them; canmatrix makes up a value from the bits it has.
    outside = outside_signals(decoder, path)
    frames, expected = [], []
    for frame in matrix.frames:
        if frame.size == 0 or not frame.signals:
            continue
        selectors = multiplexor_values(frame)
        for n in range(per_message):
            data = bytearray(rng.getrandbits(8 * frame.size).to_bytes(frame.size, "little"))
            if selectors and n % 2:
                # Half the frames carry a value that selects signals.
                signal, values = selectors
                put_dbc_bits(data, signal, rng.choice(values))
            data = bytes(data)
            frames.append((frame, data))
            decoded = frame.decode(data)
            expected.append({n: (float(s.phys_value), float(s.raw_value))
                             for n, s in decoded.items() if (frame.name, n) not in outside})
    lines = "".join("%d %d %s\n" % (f.arbitration_id.id, int(f.arbitration_id.extended),
                                    d.hex()) for f, d in frames)
    run = subprocess.run([decoder, path], input=lines, capture_output=True, text=True)
    if run.returncode != 0:
        print("%s: the decoder failed (%d): %s" % (path, run.returncode, run.stderr))
        return 1
    got_lines = run.stdout.splitlines()
    mismatches = 0
    signals_checked = set()
    for (frame, data), want, got_line in zip(frames, expected, got_lines):
        got = {}
        for pair in got_line.split():
            key, _, value = pair.partition("=")
            got[key] = float(value)
        if got_line == "?" or set(got) != set(want):
            mismatches += report(path, frame, data, "signals %s, expected %s"
                                 % (sorted(got), sorted(want)), mismatches)
            continue
        for signal, (physical, raw) in want.items():
            signals_checked.add((frame.name, signal))
            scale = max(abs(physical), abs(raw * float(frame.signal_by_name(signal).factor)), 1.0)
            if not math.isclose(got[signal], physical, rel_tol=0, abs_tol=RELATIVE * scale):
                mismatches += report(path, frame, data, "%s = %r, expected %r"
                                     % (signal, got[signal], physical), mismatches)
    if len(got_lines) != len(frames):
        print("%s: %d answers for %d frames" % (path, len(got_lines), len(frames)))
        mismatches += 1
    every = {(f.name, s.name) for f in matrix.frames if f.size for s in f.signals} - outside
    print("%s: %d frames, %d of %d signals compared, %d mismatches"
          % (os.path.basename(path), len(frames), len(signals_checked), len(every), mismatches))
    if signals_checked != every:
        print("  never selected: %s" % sorted(every - signals_checked)[:10])
        mismatches += 1
    return mismatches


def outside_signals(decoder, path):
    run = subprocess.run([decoder, path], input="", capture_output=True, text=True)
    found = re.findall(r"warning: signal (\S+) reaches byte \d+ of the \d+-byte message (\S+)",
                       run.stderr)
    return {(message, signal) for signal, message in found}


def multiplexor_values(frame):
    """The simple Intel multiplexor of `frame` and the values its signals want."""
    for signal in frame.signals:
        if signal.is_multiplexer and signal.mux_val is None and signal.is_little_endian:
            wanted = sorted({s.mux_val for s in frame.signals if s.mux_val is not None})
            return (signal, wanted) if wanted else None
    return None


def put_dbc_bits(data, signal, value):
    """Writes `value` into the bits of an Intel `signal`."""
    start = signal.get_startbit(bit_numbering=1, start_little=True)
    for i in range(signal.size):
        position = start + i
        if value >> i & 1:
            data[position // 8] |= 1 << (position % 8)
        else:
            data[position // 8] &= ~(1 << (position % 8)) & 0xFF


def report(path, frame, data, what, so_far):
    if so_far < 10:
        print("%s: %s 0x%X %s: %s" % (os.path.basename(path), frame.name,
                                      frame.arbitration_id.id, data.hex(), what))
    return 1


def name_seed(path):
    return sum(ord(c) for c in os.path.basename(path))


if __name__ == "__main__":
    sys.exit(main())
