"""A new alarm from the junction box is heard and seen on the running unit: its buzzer pattern (a
debug line per change where the host has no sound output) and full brightness until acknowledged."""
import os
import time

import storage
from kvepeer import JunctionBox, harness

SETUP_TAKEN = "Complete setup received from junction box"
BACKLIGHT = "/sys/class/backlight/backlight/brightness"


def brightness(unit):
    with open(storage.path(unit, BACKLIGHT)) as f:
        return f.read().strip()


class AlarmSound(harness.UnitTestCase):
    def buzzer_changes(self, unit, since):
        return [(t, line) for t, line in unit.lines if t >= since and line in ("Buzzer on", "Buzzer off")]

    def test_new_alarm_sounds_its_pattern_until_acknowledged(self):
        unit = harness.Unit()
        os.makedirs(os.path.dirname(storage.path(unit, BACKLIGHT)))
        with open(storage.path(unit, BACKLIGHT), "w") as f:
            f.write("0\n")
        unit.start()
        self.addCleanup(unit.cleanup)
        self.addCleanup(lambda: self._dump(unit))
        if unit.wait_line("Buzzer (sounds on|without sound output)", timeout=30).startswith("Buzzer sounds"):
            self.skipTest("this host has a sound output: the buzzer is heard, not logged")
        box = self.start_station(JunctionBox(ping_rate=0))
        unit.wait_line(SETUP_TAKEN, timeout=15)
        self.assertEqual(brightness(unit), "128")

        alarm = time.monotonic()
        box.set_alert("AlarmShallow", 0)
        unit.wait_line(r"^Buzzer pattern: 500,500 \(Alarm: Shallow Water\)$", since=alarm, timeout=10)
        box.wait_for(lambda: len(self.buzzer_changes(unit, alarm)) >= 8, 15, "four beeps")
        changes = self.buzzer_changes(unit, alarm)[:8]
        self.assertEqual([line for _, line in changes], ["Buzzer on", "Buzzer off"] * 4)
        # Each step lasts its half second; a busy host may only make it later, never earlier.
        steps = [b[0] - a[0] for a, b in zip(changes, changes[1:])]
        self.assertTrue(all(0.45 <= s <= 1.5 for s in steps), steps)
        self.assertEqual(brightness(unit), "255")

        # A warning meanwhile does not outrank the alarm; acknowledged, the alarm gives way to it.
        box.set_alert("AlertDeep", 0)
        acked = time.monotonic()
        box.set_alert("AlarmShallow", 2)
        unit.wait_line(r"^Buzzer pattern: 150,150,150,9550 \(Alert: Deep Water\)$", since=acked, timeout=10)
        self.assertEqual([l for t, l in unit.lines if t >= alarm and l.startswith("Buzzer pattern")],
                         ["Buzzer pattern: 500,500 (Alarm: Shallow Water)",
                          "Buzzer pattern: 150,150,150,9550 (Alert: Deep Water)"])
        # The panel stays bright while anything waits for the operator.
        self.assertEqual(brightness(unit), "255")
        quiet = time.monotonic()
        box.set_alert("AlertDeep", 2)
        unit.wait_line("^Buzzer silent$", since=quiet, timeout=10)
        box.wait_for(lambda: brightness(unit) == "128", 10, "the brightness back")
        time.sleep(1)
        changes = self.buzzer_changes(unit, quiet)
        self.assertTrue(not changes or changes[-1][1] == "Buzzer off", changes)


if __name__ == "__main__":
    harness.main()
