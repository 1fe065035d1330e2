"""The simulated unit's CAN channel as a real client sees it: python-can's
slcan bus (the system's python3-can) on the unit's pseudo-terminal.

Usage: slcan_test.py K57SIM DATA_DIR
"""

import os
import subprocess
import sys
import tempfile
import time
import unittest

import can
import serial

SIM = sys.argv[1] if len(sys.argv) > 1 else "k57sim"
DATA = sys.argv[2] if len(sys.argv) > 2 else "tests/data"


class Unit:
    """A k57sim process with its terminal linked at a path of its own."""

    def __init__(self, *options):
        self.dir = tempfile.TemporaryDirectory()
        self.path = os.path.join(self.dir.name, "ttyK57")
        self.process = subprocess.Popen(
            [SIM, "--link", self.path, *options],
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        for _ in range(500):
            if os.path.islink(self.path):
                break
            time.sleep(0.01)

    def stop(self):
        self.process.terminate()
        _, err = self.process.communicate(timeout=10)
        self.dir.cleanup()
        return err


def captured_frames(name):
    """The frames of a capture a unit can report, as (id, extended, remote, dlc, data)."""
    frames = []
    with open(os.path.join(DATA, name)) as log:
        for line in log:
            ident, _, rest = line.split()[2].partition("#")
            extended = len(ident) == 8
            value = int(ident, 16)
            if rest.startswith("#") or (extended and value & 0x20000000):
                continue  # FD, error
            if not extended and value > 0x7FF:
                continue
            if rest[:1] in ("R", "r"):
                frames.append((value, extended, True, int(rest[1:] or "0", 16), b""))
            elif len(rest) <= 16:
                data = bytes.fromhex(rest)
                frames.append((value, extended, False, len(data), data))
    return frames


def key(message):
    data = b"" if message.is_remote_frame else bytes(message.data)
    return (message.arbitration_id, message.is_extended_id, message.is_remote_frame,
            message.dlc, data)


class SlcanClientTest(unittest.TestCase):
    def open_bus(self, unit):
        return can.Bus(interface="slcan", channel=unit.path, bitrate=500000,
                       sleep_after_open=0)

    def test_opens_queries_and_closes(self):
        unit = Unit("--can-rate", "500")
        try:
            bus = self.open_bus(unit)
            self.assertEqual(bus.get_version(1), (10, 10))
            self.assertEqual(bus.get_serial_number(1), "K057")
            message = bus.recv(2)
            self.assertIsNotNone(message, "no frame after the serial number query")
            bus.send(can.Message(arbitration_id=0x123, data=[1, 2], is_extended_id=False))
            self.assertEqual(bus.get_version(1), (10, 10))  # the command after a send works
            bus.shutdown()
            # Closed: the unit streams no more frames. What it had queued
            # before the close (and the close's acknowledgement) may still
            # come; let it arrive first.
            with serial.Serial(unit.path, timeout=0.3) as port:
                time.sleep(0.5)
                port.reset_input_buffer()
                late = port.read(64)
                self.assertFalse(any(c in late for c in b"tTrR"), late)
        finally:
            unit.stop()

    def test_a_replayed_capture_arrives_frame_for_frame(self):
        unit = Unit("--can-log", os.path.join(DATA, "mixed.log"))
        try:
            bus = self.open_bus(unit)
            got = []
            deadline = time.time() + 10
            while len(got) < 60 and time.time() < deadline:
                message = bus.recv(1)
                if message is not None:
                    got.append(key(message))
            bus.shutdown()
        finally:
            err = unit.stop()
        sent = captured_frames("mixed.log")
        self.assertEqual(len(got), 60)
        # The unit replays the capture over and over; the reception starts
        # somewhere in it.
        start = next((s for s in range(len(sent)) if
                      all(got[i] == sent[(s + i) % len(sent)] for i in range(len(got)))), None)
        self.assertIsNotNone(start, f"got {got[:8]}, sent {sent[:8]}")
        self.assertIn("frames of the capture skipped", err)

    def test_a_slow_reader_gets_whole_lines(self):
        # Slow enough for python-can, which reads byte by byte, to catch up.
        unit = Unit("--can-rate", "1000", "--can-ids", "150", "--queue", "2048")
        try:
            bus = self.open_bus(unit)
            time.sleep(2)  # not reading: the terminal and the unit's queue fill up
            frames = 0
            for _ in range(1100):  # the commands' acknowledgements are lines too
                if bus.recv(0.5) is not None:  # a cut line would raise ValueError
                    frames += 1
                if frames == 1000:
                    break
            bus.shutdown()
        finally:
            err = unit.stop()
        self.assertEqual(frames, 1000)
        self.assertIn("lines dropped whole", err)

    def test_after_a_stall_the_reader_gets_frames_again_within_a_second(self):
        # A busy bus and a reader that stops for 3 s: the unit holds what
        # its buffer takes and drops the rest; it never floods the reader,
        # which python-can's reader, reading while bytes wait, would not
        # come out of.
        unit = Unit("--can-rate", "4000", "--can-ids", "200")
        try:
            bus = self.open_bus(unit)
            for _ in range(100):
                bus.recv(0.5)
            time.sleep(3)
            start = time.time()
            received = 0
            first = None
            last = start
            longest = 0.0  # the longest wait between two frames
            while time.time() - start < 3:
                if bus.recv(0.2) is not None:
                    now = time.time()
                    received += 1
                    first = now - start if first is None else first
                    longest = max(longest, now - last)
                    last = now
            bus.shutdown()
        finally:
            err = unit.stop()
        self.assertIsNotNone(first, "nothing received after the stall")
        self.assertLess(first, 1.0)
        # It keeps coming, beyond the 300 frames the unit's buffer held
        # (UnitOptions::canBufferFrames): never a second without frames. How
        # far beyond is the reader's pace, which a busy machine slows.
        self.assertGreater(received, 300)
        self.assertLess(longest, 1.0)
        self.assertIn("CAN frame lines dropped whole", err)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
