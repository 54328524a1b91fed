"""Endurance run of the real unit against the independent junction-box peer.

The unit draws on a virtual X screen with a USB stick mounted. The box pings both channels at 20
pings a second (display and raw records), changes a shared setting every few seconds and raises an
alert every half minute, which the operator acknowledges on the screen ("Acknowledge", found by OCR
and clicked with xdotool), for the given minutes. The unit's resident memory and CPU time are
sampled from /proc every 10 s into a CSV. At the end the run checks: memory after the echogram
buffers filled against the end, CPU of one core, and that nothing was lost: every image the box sent
is taken (raw records on the stick, the unit's image error counters, the kernel's receive drops),
every setup datagram acknowledged at the first sending, every alert mirrored, its acknowledgement
received by the box and the unit quiet again.

Run through scripts/soak.sh, which puts it in a private network namespace.
"""
import argparse
import csv
import glob
import os
import subprocess
import sys
import threading
import time

from kvepeer import JunctionBox, harness
from screen import VirtualScreen
from unitpeer import LINK_LOST, SETUP_TAKEN, error_counters

SAMPLE_PERIOD = 10.0
SETTING_PERIOD = 5.0
ALERT_PERIOD = 30.0
SAMPLES_PER_PING = 500
RAW_RECORD = 30 + SAMPLES_PER_PING       # header and samples of a raw record on the stick
RSS_LIMIT_KIB = 5 * 1024
CPU_LIMIT = 10.0
# Alerts the box raises in turn, with the priority word and text of the unit's buzzer line.
ALERTS = [("AlarmShallow", "Alarm: Shallow Water"), ("AlertDeep", "Alert: Deep Water"),
          ("AlertBottomLost", "Alert: Bottom Lost")]
TICK = os.sysconf("SC_CLK_TCK")


def proc_sample(pid):
    """(resident KiB, CPU seconds) of one process, threads included."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    cpu = (int(fields[11]) + int(fields[12])) / TICK      # utime, stime
    with open("/proc/%d/status" % pid) as f:
        rss = next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))
    return rss, cpu


def udp_drops():
    """Datagrams the kernel of this namespace dropped for full receive buffers (unit and box)."""
    with open("/proc/net/snmp") as f:
        rows = [line.split() for line in f if line.startswith("Udp:")]
    named = dict(zip(rows[0][1:], rows[1][1:]))
    return int(named.get("RcvbufErrors", 0))


def usb_workdir(base):
    """A working folder whose unit tree has a USB stick mounted, where raw echo data goes."""
    os.makedirs(os.path.join(base, "root", "media", "usb0"), exist_ok=True)
    os.makedirs(os.path.join(base, "root", "etc"), exist_ok=True)
    with open(os.path.join(base, "root", "etc", "mtab"), "w") as f:
        f.write("proc /proc proc rw 0 0\n/dev/root / ext4 rw 0 0\n/dev/sdb1 /media/usb0 vfat rw,relatime 0 0\n")
    return base


def raw_records(workdir, channel):
    files = glob.glob(os.path.join(workdir, "root", "media", "usb0", "**", "Raw_Echo_Data",
                                   "EchoData_ch%d_*.bin" % channel), recursive=True)
    return sum(os.path.getsize(f) for f in files) // RAW_RECORD


class Screen(VirtualScreen):
    """The unit's screen, where the operator taps "Acknowledge"."""

    def click(self, x, y):
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], env=dict(os.environ, **self.env()),
                       check=True, timeout=10)

    def find_word(self, word):
        """Centre of the first word on the screen that contains `word` (read with tesseract)."""
        png = subprocess.run(["import", "-display", self.display, "-window", "root", "png:-"],
                             capture_output=True, check=True, timeout=30).stdout
        tsv = subprocess.run(["tesseract", "stdin", "stdout", "tsv"], input=png, capture_output=True,
                             check=True, timeout=60).stdout.decode()
        for line in tsv.splitlines()[1:]:
            f = line.split("\t")
            if len(f) == 12 and word in f[11]:
                left, top, width, height = map(int, f[6:10])
                return left + width // 2, top + height // 2
        raise RuntimeError("%r not found on the screen" % word)


class CountingBox(JunctionBox):
    """The peer box, counting the pings it sent per channel and the raw records that repeat the
    time of the one before (two pings in one millisecond when the box catches up), which the unit
    rightly takes for repeats."""

    def __init__(self, **kw):
        super().__init__(**kw)
        self.pings = [0, 0]
        self.repeats = [0, 0]
        self._last_raw_time = [None, None]

    def send_image(self, channel, image, info, block_id=None, **kw):
        if info[9:12] == "Raw":
            when = info.split(",")[2]
            if when == self._last_raw_time[channel]:
                self.repeats[channel] += 1
            self._last_raw_time[channel] = when
        return super().send_image(channel, image, info, block_id, **kw)

    def ping(self):
        super().ping()
        for ch in self.channels:
            self.pings[ch] += 1


class Soak:
    def __init__(self, minutes, out):
        self.minutes, self.out = minutes, out
        self.failures = []
        self.alerts_raised = self.alerts_mirrored = self.alerts_acked = self.alerts_quiet = 0
        self.ack_at = None
        self.settings_sent = 0

    def check(self, ok, what):
        print("%s  %s" % ("ok  " if ok else "FAIL", what))
        if not ok:
            self.failures.append(what)

    def run(self):
        os.makedirs(self.out, exist_ok=True)
        workdir = usb_workdir(os.path.join(self.out, "unit"))
        # Pinging starts once the unit has taken the setup, so that every image sent is one it can take.
        self.box = box = CountingBox(ping_rate=0, depth=(12.5, 48.0))
        box.record_kinds = ["display", "raw"]
        box.samples_per_ping = SAMPLES_PER_PING
        box.start()
        self.screen = Screen().start()
        unit = self.unit = harness.Unit(workdir=workdir, args=["maximize-window", "frameless-window"],
                                        env=self.screen.env())
        unit.start()
        try:
            self.drive(box, unit)
        finally:
            box.ping_rate = 0
            with open(os.path.join(self.out, "unit.log"), "w") as f:
                f.write("\n".join(l for _, l in unit.lines) + "\n")
            code = unit.stop()
            box.stop()
            self.screen.stop()
            print("unit ended with exit code %s" % code)
        return not self.failures

    def drive(self, box, unit):
        unit.wait_line(SETUP_TAKEN, timeout=30)
        box.wait_for(lambda: not box.unacked, 15, "the complete setup acknowledged")
        sound = unit.wait_line("Buzzer (sounds on|without sound output)", timeout=30)
        pid = unit.proc.pid
        time.sleep(3)
        box.ping_rate = 20
        drops0 = udp_drops()
        setup_sent0, setup_acked0 = box.setup_sent, box.setup_acked
        start = time.monotonic()
        end = start + self.minutes * 60
        samples = []
        stop = threading.Event()
        alerts = threading.Thread(target=self.alert_cycles, args=(box, unit, sound, stop), daemon=True)
        alerts.start()
        csv_path = os.path.join(self.out, "samples.csv")
        with open(csv_path, "w", newline="") as f:
            writer = csv.writer(f)
            writer.writerow(["seconds", "rss_kib", "cpu_percent", "pings_ch1", "pings_ch2"])
            last_rss, last_cpu = proc_sample(pid)
            last_t = time.monotonic()
            next_sample = last_t + SAMPLE_PERIOD
            next_setting = start + SETTING_PERIOD
            value = 0
            while time.monotonic() < end:
                now = time.monotonic()
                if unit.proc.poll() is not None:
                    self.check(False, "unit still running (ended with %s)" % unit.proc.returncode)
                    return
                if now >= next_setting:
                    value = value % 20 + 1
                    box.send_single("AlertSetup/AlarmShallow", value)
                    self.settings_sent += 1
                    next_setting += SETTING_PERIOD
                if now >= next_sample:
                    rss, cpu = proc_sample(pid)
                    t = time.monotonic()
                    pct = 100.0 * (cpu - last_cpu) / (t - last_t)
                    samples.append((t - start, rss, pct))
                    writer.writerow(["%.0f" % (t - start), rss, "%.2f" % pct] + box.pings)
                    f.flush()
                    last_cpu, last_t = cpu, t
                    next_sample += SAMPLE_PERIOD
                time.sleep(max(0.0, min(next_sample, next_setting, end) - time.monotonic()))
        stop.set()
        alerts.join(30)
        box.ping_rate = 0
        time.sleep(6)       # images in flight taken or given up, raw files written
        try:
            box.wait_for(lambda: not box.unacked, 15, "the last setup datagrams acknowledged")
        except TimeoutError:
            pass
        self.report(box, unit, samples, drops0, setup_sent0, setup_acked0)

    def alert_cycles(self, box, unit, sound, stop):
        stop.wait(2)
        while not stop.is_set():
            self.alert_cycle(box, unit, sound)
            stop.wait(ALERT_PERIOD)

    def alert_cycle(self, box, unit, sound):
        """Raises the next alert on the box. The unit's mirror must show it (its buzzer pattern);
        the operator acknowledges it on the screen, the box must receive that acknowledgement, and
        the unit must fall quiet once the box publishes the alert acknowledged."""
        name, words = ALERTS[self.alerts_raised % len(ALERTS)]
        text = words.split(": ", 1)[1]
        self.alerts_raised += 1
        since = time.monotonic()
        box.set_alert(name, 0)
        logged = not sound.startswith("Buzzer sounds")
        try:
            if logged:
                unit.wait_line(r"^Buzzer pattern: [0-9,]+ \(%s\)$" % words, since=since, timeout=10)
            else:
                time.sleep(2)
            self.alerts_mirrored += 1
            clicked = time.monotonic()
            self.screen.click(*self.ack_button())
            box.wait_for(lambda: box.alerts.ack_from_display == text and box.alerts.rows[name]["AlertState"] == 2,
                         10, "the acknowledgement of %s at the box" % text)
            self.alerts_acked += 1
            if logged:
                unit.wait_line(r"^Buzzer silent$", since=clicked, timeout=10)
            self.alerts_quiet += 1
        except (TimeoutError, RuntimeError) as e:
            print("alert %s: %s" % (name, str(e).splitlines()[0]))
        box.set_alert(name, 5)      # rectified on the bridge
        box.alerts.ack_from_display = ""

    def ack_button(self):
        """Where "Acknowledge" is on the screen, read once off a screenshot."""
        if not self.ack_at:
            self.ack_at = self.screen.find_word("cknowledge")
            print("Acknowledge button at %s" % (self.ack_at,))
        return self.ack_at

    def report(self, box, unit, samples, drops0, setup_sent0, setup_acked0):
        print("\nminute  RSS MB  CPU %")
        by_minute = {}
        for t, rss, pct in samples:
            by_minute.setdefault(int((t - 1) // 60) + 1, []).append((rss, pct))
        for m in sorted(by_minute):
            rows = by_minute[m]
            print("%6d  %6.1f  %5.1f" % (m, rows[-1][0] / 1024.0, sum(p for _, p in rows) / len(rows)))
        # The 5, 10, 15 and 30 minute echograms are full after half an hour; the hour and longer ones
        # still grow by a column a few seconds (under 1 MB over the rest of an hour's run).
        full_at = min(30 * 60 + SAMPLE_PERIOD, samples[-1][0] / 2)
        ref = next(s for s in samples if s[0] >= full_at)
        last = samples[-1]
        cpus = [p for _, _, p in samples]
        print("\nRSS after the echogram buffers filled (%.0f s): %.1f MB; at the end (%.0f s): %.1f MB; "
              "growth %+.2f MB; peak %.1f MB"
              % (ref[0], ref[1] / 1024.0, last[0], last[1] / 1024.0, (last[1] - ref[1]) / 1024.0,
                 max(s[1] for s in samples) / 1024.0))
        print("CPU of one core: mean %.2f %%, max %.2f %% (10 s samples)" % (sum(cpus) / len(cpus), max(cpus)))
        self.check(abs(last[1] - ref[1]) <= RSS_LIMIT_KIB, "resident memory within 5 MB after the buffers filled")
        self.check(max(cpus) < CPU_LIMIT, "CPU under 10% of one core in every sample")

        counters = error_counters(box, timeout=10)
        raws = [raw_records(unit.workdir, 1), raw_records(unit.workdir, 2)]
        expected = [p - r for p, r in zip(box.pings, box.repeats)]
        print("pings sent per channel %s (raw records repeating the time before %s), raw records on the stick %s"
              % (box.pings, box.repeats, raws))
        print("image error counters 80-84: %s; text error counters 70-78: %s"
              % ([counters.get(c, 0) for c in range(80, 85)], [counters.get(c, 0) for c in range(70, 79)]))
        print("kernel receive-buffer drops in the namespace: %d" % (udp_drops() - drops0))
        self.check(raws == expected, "every raw image the box sent is on the stick")
        self.check(counters.get(84, 0) == 0, "no image error counted by the unit")
        self.check(counters.get(78, 0) == 0, "no text error counted by the unit")
        self.check(udp_drops() - drops0 == 0, "no datagram dropped by the kernel")
        print("setup datagrams of the box during the run %d (%d setting changes), acknowledged by the unit %d; "
              "resent %d, given up %d, waiting %d"
              % (box.setup_sent - setup_sent0, self.settings_sent, box.setup_acked - setup_acked0, box.resent,
                 box.setup_lost, len(box.unacked)))
        self.check(box.setup_lost == 0 and not box.unacked and box.resent == 0
                   and box.setup_acked - setup_acked0 == box.setup_sent - setup_sent0,
                   "every setup datagram of the box acknowledged at the first sending")
        print("alerts raised %d, mirrored on the unit %d, acknowledged on its screen and received by the box %d, "
              "quiet again %d" % (self.alerts_raised, self.alerts_mirrored, self.alerts_acked, self.alerts_quiet))
        self.check(self.alerts_raised == self.alerts_mirrored == self.alerts_acked == self.alerts_quiet,
                   "every alert mirrored, acknowledged from the screen and quiet again")
        self.check(not unit.has_line(LINK_LOST), "link to the box never lost")
        self.check(box.faults == [], "no fault of the peer itself")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("minutes", type=float, nargs="?", default=60)
    parser.add_argument("--out", default="soak-out")
    args = parser.parse_args()
    harness.ensure_private_network()
    ok = Soak(args.minutes, os.path.abspath(args.out)).run()
    print("\nsoak %s" % ("passed" if ok else "FAILED"))
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
