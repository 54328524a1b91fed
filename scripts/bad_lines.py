#!/usr/bin/env python3
"""Bad input for the running unit, for as long as asked: serial line 1 (a socat pseudo-terminal pair,
set to 115200 baud and fed at that rate) and the network input get random bytes, broken and
over-long sentences with some good ones between them, while the independent junction-box peer keeps
the unit paired. The unit's memory (RSS) is sampled all along; at the end the unit must still run,
and the fault counters per code are printed from its error table (network codes, asked for with the
box's request) and from its input error logs (every code, per input), with the RSS curve.

Run through scripts/bad-lines.sh, which finds the program and the peer; it re-executes itself in a
private network namespace with loopback multicast."""
import argparse
import collections
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path[:0] = [os.path.join(ROOT, "tests", "peer"), os.path.join(ROOT, "tests", "lines")]

from kvepeer import JunctionBox, Station, harness, hostile, nmea  # noqa: E402
from serialpty import PtyPair  # noqa: E402

UNIT = "SD0109"
LINK_UP = "Complete setup received from junction box"
BAUD_115200 = 2        # position of 115200 in the port setup's rate choices
ON = 0
LINE_BYTES_PER_SECOND = 115200 // 10     # 8N1: ten bits a character


def good_sentences(rng):
    utc = "%02d%02d%02d.00" % (rng.randrange(24), rng.randrange(60), rng.randrange(60))
    return [nmea.build("GPGGA", [utc, "5912.%04d" % rng.randrange(10000), "N", "01043.%04d" % rng.randrange(10000),
                                 "E", "1", "08", "0.9", "12.0", "M", "46.9", "M", "", ""]),
            nmea.build("HEHDT", ["%.1f" % rng.uniform(0, 360), "T"]),
            nmea.build("GPZDA", [utc, "07", "12", "2026", "00", "00"]),
            nmea.build("IIDPT", ["%.1f" % rng.uniform(1, 200), "0.5", "200"])]


def bad_piece(rng) -> bytes:
    """One piece of what a broken line or a broken piece of equipment brings."""
    good = rng.choice(good_sentences(rng))
    kind = rng.randrange(10)
    if kind == 0:                                   # noise, with starts and line ends in it
        return bytes(rng.choice(b"$!*,\r\n" + bytes(range(256))) for _ in range(rng.randint(1, 120)))
    if kind == 1:                                   # broken off, the next one starts
        return good[:rng.randint(1, len(good) - 2)].encode("latin-1")
    if kind == 2:                                   # a character flipped: checksum wrong
        i = rng.randrange(1, len(good) - 5)
        return (good[:i] + chr(ord(good[i]) ^ 0x04) + good[i + 1:]).encode("latin-1")
    if kind == 3:                                   # checksum in lower case or missing
        body = good[:-4]
        return (body + good[-4:-2].lower() + "\r\n" if rng.random() < 0.5 else body[:-1] + "\r\n").encode("latin-1")
    if kind == 4:                                   # over-long sentence, any kind but a position
        return nmea.build("GPRMC", ["9" * rng.randint(80, 400)]).encode("latin-1")
    if kind == 5:                                   # over-long position beyond any bound
        return nmea.build("GPGGA", ["1" * rng.randint(170, 300)]).encode("latin-1")
    if kind == 6:                                   # no line end for a long while
        return b"$GPXXX," + b"7" * rng.randint(82, 600)
    if kind == 7:                                   # address wrong, fields wrong
        return rng.choice([nmea.build("GPHD", ["1.0"]), nmea.build("HEHDT", ["x", "T"]),
                           nmea.build("GPZDA", ["1", "99", "99", "99999", "", ""]), "$\r\n", "\r\n"]).encode("latin-1")
    if kind == 8:                                   # line feed alone
        return good.replace("\r\n", "\n").encode("latin-1")
    return good.encode("latin-1")                   # and now and then a good one


class SerialFeeder(threading.Thread):
    """Writes bad pieces at the rate of a 115200-baud line."""

    def __init__(self, line: PtyPair, rng):
        super().__init__(daemon=True)
        self.line, self.rng = line, rng
        self.bytes = 0
        self.running = True

    def run(self):
        period = 0.05
        budget = LINE_BYTES_PER_SECOND * period
        pending = b""
        while self.running:
            while len(pending) < budget:
                pending += bad_piece(self.rng)
            chunk, pending = pending[:int(budget)], pending[int(budget):]
            try:
                self.line.write(chunk)
            except OSError:
                pass
            self.bytes += len(chunk)
            time.sleep(period)


class NetworkFeeder(threading.Thread):
    """Sends hostile datagrams of every kind and datagrams of other equipment carrying the same bad
    pieces as the serial line, about 100 datagrams a second."""

    def __init__(self, box: JunctionBox, gps: Station, rng):
        super().__init__(daemon=True)
        self.box, self.gps, self.rng = box, gps, rng
        self.datagrams = 0
        self.running = True
        self.hostile = hostile.sentence_datagrams(random.Random(rng.random()))

    def run(self):
        group = ("239.192.0.4", 60004)
        while self.running:
            for _ in range(5):
                if self.rng.random() < 0.5:
                    self.box.send_raw(next(self.hostile), group)
                else:
                    # A position first, as the unit takes datagrams of unknown senders that start with one.
                    lines = [good_sentences(self.rng)[0]] + [bad_piece(self.rng).decode("latin-1")
                                                            for _ in range(self.rng.randint(1, 4))]
                    self.gps.send_sentences(lines)
                self.datagrams += 1
            time.sleep(0.05)


def rss_kb(pid: int) -> int:
    try:
        with open("/proc/%d/status" % pid) as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return -1


def error_table(box: JunctionBox) -> dict:
    since = time.monotonic()
    box.send_sentences([nmea.build("PZTQVMPCGTER", ["1"])], dest=[UNIT])
    try:
        tables = box.wait_for(lambda: (lambda t: t if len(t) >= 2 else None)(
            box.sentences_of("PZTQERRORTABLE", UNIT, since)), timeout=15, what="the error table")
    except Exception:
        return {}
    counts = {}
    for heard in tables:
        fields = heard.sentence.fields
        half = len(fields) // 2
        counts.update((int(c), int(n) if n else None) for c, n in zip(fields[:half], fields[half:]) if c)
    return counts


def logged_codes(folder: str) -> dict:
    """File name -> Counter of error codes in the unit's input error logs."""
    out = {}
    if not os.path.isdir(folder):
        return out
    pattern = re.compile(r"\(UTC\) >> Error (\d+) \(")
    for name in sorted(os.listdir(folder)):
        counts = collections.Counter()
        with open(os.path.join(folder, name), encoding="utf-8", errors="replace") as f:
            for line in f:
                m = pattern.search(line)
                if m:
                    counts[int(m.group(1))] += 1
        out[name] = counts
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("seconds", nargs="?", type=int, default=600)
    parser.add_argument("--sample", type=float, default=10.0, help="seconds between RSS samples")
    parser.add_argument("--keep", action="store_true", help="keep the unit's working folder")
    parser.add_argument("--reference", action="store_true",
                        help="the same run without bad input: the memory the unit takes anyway (its echo "
                             "buffers and depth history fill with the box's images)")
    args = parser.parse_args()
    harness.ensure_private_network()
    rng = random.Random(420)

    folder = tempfile.mkdtemp(prefix="kve420-bad-lines-")
    setup_dir = os.path.join(folder, "Setup_Files", "KVE 420")
    os.makedirs(setup_dir)
    box = JunctionBox(depth=(12.5, 48.0))
    files = {"JB_NmeaPort1Setup.txt": {"Baud": BAUD_115200},
             "JB_ErrorLoggingSetup.txt": {"Nmea1": ON, "NmeaUdp": ON, "UdpNmeaDatagram": ON, "UdpBinaryDatagram": ON}}
    box.setup.set("CommunicationsSetup/NmeaPort1Setup/Baud", BAUD_115200)
    for name, value in files["JB_ErrorLoggingSetup.txt"].items():
        box.setup.set("CommunicationsLoggingSetup/ErrorLoggingSetup/%s" % name, value)
    for name, props in files.items():
        with open(os.path.join(setup_dir, name), "w") as f:
            f.write("Type_Setup," + ",".join("%s=%s" % kv for kv in props.items()))

    line = PtyPair("bad")
    unit = harness.Unit(args=["serial-1", line.unit_path], workdir=folder)
    gps = Station("GP0001")
    feeders = []
    try:
        unit.start()
        unit.wait_line("Opened port for reading: " + re.escape(line.unit_path), timeout=60)
        box.start()
        gps.start()
        unit.wait_line(LINK_UP, timeout=30)
        time.sleep(2)
        speed = subprocess.run(["stty", "-F", line.unit_path, "speed"], capture_output=True, text=True).stdout.strip()
        print("unit pid %d, serial line 1 at %s baud (%s), %d s of %s" %
              (unit.proc.pid, speed or "?", line.unit_path, args.seconds,
               "ordinary traffic only (reference)" if args.reference else "bad input"), flush=True)

        feeders = [SerialFeeder(line, rng), NetworkFeeder(box, gps, random.Random(421))]
        if args.reference:
            feeders = []
        for f in feeders:
            f.start()
        start = time.monotonic()
        samples = [(0.0, rss_kb(unit.proc.pid))]
        while time.monotonic() - start < args.seconds:
            time.sleep(min(args.sample, max(0.0, args.seconds - (time.monotonic() - start))))
            if unit.proc.poll() is not None:
                break
            samples.append((time.monotonic() - start, rss_kb(unit.proc.pid)))
            print("  %6.0f s  RSS %6d kB" % samples[-1], flush=True)
        for f in feeders:
            f.running = False
        for f in feeders:
            f.join(2)
        running = unit.proc.poll() is None

        print()
        print("unit still running: %s" % ("yes" if running else "NO, exit code %s" % unit.proc.returncode))
        if feeders:
            print("fed: serial %d bytes, network %d datagrams" % (feeders[0].bytes, feeders[1].datagrams))
        table = error_table(box) if running else {}
        time.sleep(3)           # the logs are written every second
        print("error table of the unit (network input):")
        for code in sorted(table):
            print("  %3d: %s" % (code, "" if table[code] is None else table[code]))
        logs = os.path.join(folder, "root", "opt", "velmora", "99999", "Logs", "Communication_Logs", "Input_Errors")
        print("input error logs (records per code):")
        for name, counts in logged_codes(logs).items():
            print("  %-24s %s" % (name, ", ".join("%d: %d" % kv for kv in sorted(counts.items())) or "-"))
        rss = [kb for _, kb in samples if kb > 0]
        if rss:
            tail = [kb for t, kb in samples if t >= samples[-1][0] / 2 and kb > 0]
            print("RSS: start %d kB, end %d kB, min %d kB, max %d kB; second half %d..%d kB" %
                  (rss[0], rss[-1], min(rss), max(rss), min(tail), max(tail)))
            print("RSS curve (s kB): " + " ".join("%.0f:%d" % s for s in samples))
        return 0 if running else 1
    finally:
        for f in feeders:
            f.running = False
        unit.stop()
        gps.stop()
        box.stop()
        line.close()
        if args.keep:
            print("unit's folder kept: " + folder)
        else:
            shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
