"""A flood of hostile datagrams on every group the unit listens to: the unit stays up with its main
thread answering, its memory stays near that of the same run without the flood, its debug log
keeps to its rate, and afterwards it pairs with the box and draws the box's echoes."""
import itertools
import random
import re
import sys
import threading
import time

from kvepeer import JunctionBox, binimage, harness, hostile, iec450, nmea
from kvepeer.station import ADMIN_GROUP, BINARY_GROUP, nmea_group
from unitpeer import BOX, SETUP_TAKEN, UNIT, depth_reported, error_counters

BURST = 24000               # datagrams of the flood
CHUNK = 60                  # sent back to back, then a short pause: about 3,000 a second
PAUSE = 0.02
SETTLE = 8.0                # half-open images are given up after five seconds
MEMORY_MARGIN_KIB = 30 * 1024
LINES_PER_SECOND = 200 + 1  # the debug log's bound: lines of all sources and the note of lines left out
STUCK = "THREAD STUCK"
LEFT_OUT = re.compile(r"Debug log: (\d+) lines left out")


def rss_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        return next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))


class MemoryWatch:
    """Samples the resident memory of a process four times a second."""

    def __init__(self, pid):
        self.pid, self.samples, self._stop = pid, [], threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)
        self._thread.start()

    def _run(self):
        while not self._stop.wait(0.25):
            try:
                self.samples.append((time.monotonic(), rss_kib(self.pid)))
            except (OSError, StopIteration):
                return

    def stop(self):
        self._stop.set()
        self._thread.join(2)
        return max(kib for _, kib in self.samples)


def extra_datagrams(rng, box_sfi):
    """What the peer's generators leave out: forged tag blocks with good checksums from strangers
    carrying sentences the unit accepts from anyone, in groups that never complete; images too large
    for any transducer; well-formed images with nonsense records; and half-open images."""
    while True:
        kind = rng.randrange(5)
        if kind == 0:
            stranger = "%s%04d" % (rng.choice(["GP", "II", "XX", "VM"]), rng.randrange(10000))
            body = iec450.tag_body(g=(rng.randint(1, 998), 999, rng.randint(1, 99)), s=stranger,
                                   n=rng.randint(1, 999))
            gga = nmea.build(rng.choice(["GPGGA", "IIDPT", "GPZDA", "PZTQDEVSTART"]),
                             ["x" * rng.randint(0, 60)])
            yield iec450.HEADER + iec450.tagged(body, gga).encode(), nmea_group(3)
        elif kind == 1:     # 60,000 samples announced and sent in full
            for d in binimage.datagrams(bytes(rng.randint(3201, 60000)), "KVEJBch1_Dsp,x", 1,
                                        rng.getrandbits(32), box_sfi):
                yield d, BINARY_GROUP
        elif kind == 2:     # complete, well-formed images whose records make no sense
            info = "KVEJBch%d_%s,%s" % (rng.randint(1, 2), rng.choice(["Dsp", "Raw", "Fil", "???"]),
                                         ",".join(str(rng.uniform(-1e9, 1e9)) for _ in range(rng.randint(0, 20))))
            for d in binimage.datagrams(bytes(rng.getrandbits(8) for _ in range(rng.randint(0, 3200))), info,
                                        rng.randint(0, 255), rng.getrandbits(32), box_sfi):
                yield d, BINARY_GROUP
        elif kind == 3:     # the first of many datagrams, the rest never comes
            yield binimage.datagrams(bytes(3000), "KVEJBch2_Dsp,x", 2, rng.getrandbits(32), box_sfi)[0], BINARY_GROUP
        else:               # random bytes on any group
            yield (bytes(rng.getrandbits(8) for _ in range(rng.randint(0, 1460))),
                   rng.choice([nmea_group(3), ADMIN_GROUP, BINARY_GROUP]))


def hostile_burst(count, seed=61162):
    """count datagrams of every kind on every group the unit listens to, shuffled in small runs so
    that parts of one image arrive duplicated and out of order."""
    rng = random.Random(seed)
    sentences = hostile.sentence_datagrams(rng, source=BOX, dest=UNIT)
    images = hostile.image_datagrams(rng, source=BOX)
    extra = extra_datagrams(rng, BOX)
    out = []
    while len(out) < count:
        pick = rng.randrange(10)
        if pick < 4:
            out.append((next(sentences), rng.choice([nmea_group(3), ADMIN_GROUP])))
        elif pick < 7:
            out.append((next(images), BINARY_GROUP))
        else:
            out.append(next(extra))
    for i in range(0, len(out) - 8, 8):
        run = out[i:i + 8]
        rng.shuffle(run)
        out[i:i + 8] = run
    return out[:count]


def longest_silence(box, start, end):
    """The longest time, between start and end, in which the box heard nothing from the unit."""
    with box.cond:
        times = [start] + [h.time for h in box.heard if start <= h.time < end and h.datagram
                           and h.datagram.source == UNIT] + [end]
    return max(b - a for a, b in zip(times, times[1:]))


def lines_per_second(unit, start, end):
    """The unit's debug lines in each whole second from start to end (as they were read)."""
    with unit.cond:
        times = [t for t, _ in unit.lines if start <= t < end]
    buckets = [0] * int(end - start + 1)
    for t in times:
        buckets[int(t - start)] += 1
    return buckets


def most_in_a_second_of_the_unit(unit, start, end):
    """While lines are being left out, the unit notes it at the start of every second of its own
    clock: the most lines between two such notes, the note included."""
    with unit.cond:
        lines = [l for t, l in unit.lines if start <= t < end]
    notes = [i for i, l in enumerate(lines) if LEFT_OUT.search(l)]
    return max((b - a for a, b in zip(notes, notes[1:])), default=0)


class HostileInput(harness.UnitTestCase):
    def run_unit(self, burst=None, seconds=None):
        """A unit paired with a pinging box; with a burst, the flood goes out after the pairing, else
        the unit runs for as long as a flood took. Returns (unit, box, highest resident memory,
        start and end of the flood or of its stand-in)."""
        box = self.start_station(JunctionBox(ping_rate=5, depth=(27.5, 30.0)))
        unit = self.start_unit()
        unit.wait_line(SETUP_TAKEN, timeout=20)
        watch = MemoryWatch(unit.proc.pid)
        time.sleep(2)
        start = time.monotonic()
        if burst:
            for i in range(0, len(burst), CHUNK):
                for data, group in burst[i:i + CHUNK]:
                    box.send_raw(data, group)
                time.sleep(PAUSE)
        else:
            time.sleep(seconds)
        end = time.monotonic()
        time.sleep(SETTLE)
        return unit, box, watch.stop(), start, end

    def test_a_flood_on_every_group_leaves_the_unit_running_bounded_and_paired(self):
        burst = hostile_burst(BURST)
        self.assertGreaterEqual(len(burst), 20000)
        self.assertEqual({g for _, g in burst}, {nmea_group(3), ADMIN_GROUP, BINARY_GROUP})

        unit, box, rss, start, end = self.run_unit(burst)
        alive = unit.proc.poll() is None
        counters = error_counters(box) if alive else {}
        per_second = lines_per_second(unit, start, end + SETTLE)
        silence = longest_silence(box, start, end + SETTLE)
        unit_second = most_in_a_second_of_the_unit(unit, start, end + SETTLE)
        left_out = sum(int(m.group(1)) for _, l in unit.lines if (m := LEFT_OUT.search(l)))

        # Still paired: a restarted box is paired at once and its echoes drawn.
        if alive:
            t = time.monotonic()
            box.depth[0] = 28.5
            box.restart(down_for=0.5)
            unit.wait_line(SETUP_TAKEN, since=t, timeout=10)
            depth_reported(box, 28.5, t, timeout=10)
        unit.stop()
        box.stop()

        # The same run without the flood, for as long.
        calm, _, calm_rss, calm_start, calm_end = self.run_unit(seconds=end - start)
        calm_lines = lines_per_second(calm, calm_start, calm_end + SETTLE)
        sys.stderr.write(
            "hostile input: %d datagrams in %.1f s; resident memory %d KiB with the flood, %d KiB without; "
            "debug lines %d in %.0f s (most in a second as read %d, of the unit's clock %d; %d left out), without the flood %d (most %d); "
            "longest silence of the unit %.1f s; counters %s\n"
            % (len(burst), end - start, rss, calm_rss, sum(per_second), end + SETTLE - start, max(per_second),
               unit_second, left_out, sum(calm_lines), max(calm_lines), silence, {c: n for c, n in counters.items() if n}))

        self.assertTrue(alive, "the unit ended under the flood")
        self.assertFalse(unit.has_line(STUCK), "the watchdog found a thread stuck")
        # The main thread kept its once-a-second work going: what it sends never paused for long.
        self.assertLess(silence, 3.0)
        # The flood reached the unit and was counted, text and images alike.
        self.assertGreater(counters[78], 2000)
        self.assertGreater(counters[84], 1000)
        self.assertGreater(counters[80], 100)     # images too large for any transducer
        self.assertLess(rss - calm_rss, MEMORY_MARGIN_KIB)
        # Lines are stamped as they are read, so any run of seconds read may hold the tail of the
        # second before it.
        for k in range(1, len(per_second) + 1):
            most = max(sum(per_second[i:i + k]) for i in range(len(per_second) - k + 1))
            self.assertLessEqual(most, LINES_PER_SECOND * (k + 1), "%d lines in %d s" % (most, k))
        self.assertGreater(left_out, 0)


if __name__ == "__main__":
    harness.main()
