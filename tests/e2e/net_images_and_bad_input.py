"""Echo images arrive whatever block identifiers the box uses, reception faults reach the error
log, and a burst of malformed traffic on every group leaves the unit running, its memory flat and
still paired."""
import glob
import os
import random
import shutil
import sys
import tempfile
import time

from kvepeer import JunctionBox, binimage, harness, iec450, nmea
from kvepeer.station import ADMIN_GROUP, BINARY_GROUP, nmea_group
from unitpeer import LINK_LOST, SETUP_TAKEN, UNIT, depth_reported, error_counters, logs_folder

SAMPLES = 2000                  # two datagrams an image
RECORD = 30 + SAMPLES           # a raw record in the unit's raw data files: header and samples
WINDOWS_LOGGING_GROUP = ("239.192.0.23", 60023)


def raw_records(unit, channel):
    """Raw records of a channel on the unit's USB stick."""
    files = glob.glob(os.path.join(unit.env["KVE_ROOT"], "media", "usb0", "**", "Raw_Echo_Data",
                                   "EchoData_ch%d_*.bin" % channel), recursive=True)
    return sum(os.path.getsize(f) for f in files) // RECORD


def rss_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        return next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))


def error_log(unit, name):
    path = os.path.join(logs_folder(unit), "Communication_Logs", "Input_Errors", name)
    try:
        with open(path, encoding="latin-1") as f:
            return f.read()
    except FileNotFoundError:
        return ""


class ImagesAndBadInput(harness.UnitTestCase):
    def paired_box(self, workdir=None, **kw):
        box = self.start_station(JunctionBox(**kw))
        unit = self.start_unit(workdir=workdir)
        unit.wait_line(SETUP_TAKEN, timeout=15)
        return box, unit

    def with_usb_stick(self):
        """A working folder whose unit tree has a USB stick mounted (raw echo data goes there)."""
        workdir = tempfile.mkdtemp(prefix="kve420-")
        self.addCleanup(shutil.rmtree, workdir, True)
        os.makedirs(os.path.join(workdir, "root", "media", "usb0"))
        os.makedirs(os.path.join(workdir, "root", "etc"))
        with open(os.path.join(workdir, "root", "etc", "mtab"), "w") as f:
            f.write("/dev/root / ext4 rw 0 0\n/dev/sdx1 /media/usb0 vfat rw,relatime 0 0\n")
        return workdir

    def test_every_image_arrives_whatever_its_block_identifier(self):
        box, unit = self.paired_box(self.with_usb_stick(), ping_rate=0)
        box.record_kinds = ["display", "raw"]
        box.samples_per_ping = SAMPLES
        for mode in ("constant", "per-channel"):
            box.block_ids = mode
            for _ in range(20):
                box.ping()
                time.sleep(0.03)
        box.wait_for(lambda: raw_records(unit, 1) >= 40 and raw_records(unit, 2) >= 40, 5,
                     "40 raw records a channel")
        # A copy of a datagram of an image already delivered is counted (as a lost image), not dropped unseen.
        box.block_ids = 500
        box.ping()
        box.send_raw(box.send_image(0, bytes(SAMPLES), "copy")[-1], BINARY_GROUP)
        time.sleep(6)
        counters = error_counters(box)
        self.assertEqual((raw_records(unit, 1), raw_records(unit, 2)), (41, 41))
        self.assertEqual([counters[c] for c in (80, 81, 82, 83)], [0, 1, 0, 0])

    def test_reception_faults_are_written_to_the_error_log(self):
        box, unit = self.paired_box(ping_rate=0)
        good = box.packer.pack([nmea.build("GPGGA", ["1"])], "GP0001")[0]
        box.send_raw(good.replace(b"*", b"#", 1), nmea_group(3))            # tag block without checksum: 71
        box.send_raw(b"UdPbC-" + good[6:], nmea_group(3))                   # no NUL: 79
        image = binimage.datagrams(bytes(100), "x", 1, 9, "SD0108")[0]
        box.send_raw(image[:6] + b"\x00\x03" + image[8:], BINARY_GROUP)      # version 3: 82
        box.wait_for(lambda: "Error 71" in error_log(unit, "UDP_NMEA_Datagrams.txt")
                     and "Error 79" in error_log(unit, "UDP_NMEA_Datagrams.txt")
                     and "Error 82" in error_log(unit, "UDP_Binary_Datagrams.txt"), 10, "the faults in the error log")

    def test_burst_of_malformed_datagrams_on_every_group(self):
        box, unit = self.paired_box(ping_rate=5, depth=(27.5, 30.0))
        rng = random.Random(450)
        time.sleep(5)
        before = rss_kib(unit.proc.pid)
        sentence_groups = [nmea_group(3), ADMIN_GROUP]
        image_groups = [BINARY_GROUP, WINDOWS_LOGGING_GROUP]
        setup = box.packer.pack(nmea.carrier_sentences(box.setup.complete_text("Type_Setup")), box.sfi, [UNIT],
                                "pztqsetup")
        images = binimage.datagrams(bytes(3000), "burst", 1, 7, box.sfi)
        sent = 0

        def send(data, groups):
            nonlocal sent
            box.send_raw(data, rng.choice(groups))
            sent += 1

        def forged_tag_block():
            body = "g:%d-%d-%d,s:%s,n:%d" % (rng.randint(1, 9), rng.randint(1, 9), rng.randint(1, 99),
                                              rng.choice(["SD0108", "XX0001", "VM1111"]), rng.randint(1, 999))
            return iec450.HEADER + iec450.tagged(body, nmea.build("PZTQAVG", ["Type_Setup", "x" * rng.randint(0, 60)])).encode()

        for i in range(12000):
            kind = i % 8
            if kind == 0:
                send(bytes(rng.getrandbits(8) for _ in range(rng.randint(0, 200))), sentence_groups + image_groups)
            elif kind == 1:
                d = rng.choice(setup)
                send(d[:rng.randint(0, len(d))], sentence_groups)                   # truncated
            elif kind == 2:
                send(bytes(rng.randint(1461, 3000)), sentence_groups + image_groups)   # oversize
            elif kind == 3:
                send(rng.choice(setup), sentence_groups)                            # reordered, duplicated
            elif kind == 4:
                send(forged_tag_block(), sentence_groups)                           # good checksums, no sense
            elif kind == 5:
                d = bytearray(rng.choice(images))
                for _ in range(rng.randint(1, 4)):
                    d[rng.randrange(len(d))] = rng.getrandbits(8)               # mutated header or descriptor
                send(bytes(d), image_groups)
            elif kind == 6:                                                       # half-open images
                send(binimage.datagrams(bytes(3000), "open", 1, rng.getrandbits(32), box.sfi)[0], image_groups)
            else:
                d = bytearray(rng.choice(setup))
                d[rng.randrange(6, len(d))] ^= 1 << rng.randrange(8)               # one bit flipped
                send(bytes(d), sentence_groups)
            if i % 200 == 199:
                time.sleep(0.05)
        time.sleep(8)   # half-open images given up, lines written
        after = rss_kib(unit.proc.pid)
        counters = error_counters(box)
        sys.stderr.write("burst: %d datagrams, RSS %d KiB before, %d KiB after; counters %s\n"
                         % (sent, before, after, {c: n for c, n in counters.items() if n}))
        self.assertIsNone(unit.proc.poll())
        self.assertGreaterEqual(sent, 10000)
        self.assertLess(after - before, 10 * 1024)
        self.assertGreater(counters[78], 1000)
        self.assertGreater(counters[84], 1000)
        # Still paired: a restarted box is paired at once and its images drawn.
        t = time.monotonic()
        box.depth[0] = 28.5
        box.restart(down_for=0.5)
        unit.wait_line(SETUP_TAKEN, since=t, timeout=15)
        depth_reported(box, 28.5, t, timeout=15)


if __name__ == "__main__":
    harness.main()
