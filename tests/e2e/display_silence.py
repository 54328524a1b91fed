"""The running unit through a silence of the junction box's echoes: on the screen the gap is as wide
as the silence, the echoes stay on the rows of the bottom trace before and after it, and while it
lasts the readout shows no depth and the alert panel says why."""
import re
import time

from kvepeer import JunctionBox, harness
from screen import PALETTES, ScreenUnit

RANGE_50_M = 3          # index of the transducer's "Range" choice: 50 m
TRACE = (0, 0, 0)       # the bottom trace on the brown palette
DEPTH = 40.0
PINGS_BEFORE, SILENCE, PINGS_AFTER = 15.0, 15.0, 10.0


def runs(flags):
    """[(value, first index, length)] of the runs of equal values."""
    out = []
    for i, f in enumerate(flags):
        if out and out[-1][0] == f:
            out[-1][2] += 1
        else:
            out.append([f, i, 1])
    return out


class EchogramThroughASilence(harness.UnitTestCase):
    def test_gap_of_the_silence_and_echoes_on_the_trace_rows(self):
        _, inactive = PALETTES["Brown"]
        unit = ScreenUnit(self, {"RuntimeScreenSetupA": {"EchoColour": 0, "PicSpeed": 1}})   # 10 min
        box = JunctionBox(depth=(DEPTH, 60.0), ping_rate=5)
        box.setup.set("SetupSetup/TransducerSelectSetup/TransducerSetup1/Range", RANGE_50_M)
        box.ping_rate = 0
        self.start_station(box)
        unit.unit.wait_line("Complete setup received from junction box", timeout=20)

        box.ping_rate = 5
        time.sleep(PINGS_BEFORE)
        box.ping_rate = 0
        silent_from = time.monotonic()
        time.sleep(13.0)    # longer than the depth's validity of 10 s

        # During the silence: no depth in the readout, and the reason on the alert panel.
        shot, (left, top, right, bottom) = unit.settled_shot(inactive)
        figures = shot.text(left + (right - left) // 3, max(0, top - 100), right + 60, top - 4, chars="0123456789.-")
        self.assertFalse(re.search(r"\d", figures), "readout %r during the silence" % figures)
        panel = shot.text(shot.width // 2, bottom + 30, shot.width - 1, shot.height - 1, line=False)
        self.assertIn("CH1 depth: no echo data from the junction box", panel)

        time.sleep(max(0.0, SILENCE - (time.monotonic() - silent_from)))
        box.ping_rate = 5
        silence = time.monotonic() - silent_from
        time.sleep(PINGS_AFTER)

        shot, (left, top, right, bottom) = unit.settled_shot(inactive)
        height = bottom - top + 1
        seconds_per_column = 600.0 / (right - left + 1)
        expected_row = DEPTH / 50.0 * height

        # Columns with echoes, right to left: the pings after, the silence, the pings before. (The
        # square ends of the trace may reach a pixel into a neighbour without echoes.)
        has_data = [any(c not in (inactive, TRACE) for c in shot.column(x, top, bottom + 1))
                    for x in range(left, right + 1)]
        pattern = runs(has_data)
        self.assertGreaterEqual(len(pattern), 3, pattern)
        after, gap, before = pattern[-1], pattern[-2], pattern[-3]
        self.assertEqual((after[0], gap[0], before[0]), (True, False, True), pattern)
        self.assertLessEqual(abs(gap[2] * seconds_per_column - silence), 3 * seconds_per_column,
                             "gap of %d columns for %.1f s" % (gap[2], silence))
        self.assertLessEqual(abs(after[2] * seconds_per_column - PINGS_AFTER), 3 * seconds_per_column, pattern)
        self.assertLessEqual(abs(before[2] * seconds_per_column - PINGS_BEFORE), 3 * seconds_per_column, pattern)

        # In every column with echoes, before and after the silence, the echo begins on the rows
        # of 40 m, where the bottom trace is drawn.
        for run in (before, after):
            for x in range(left + run[1], left + run[1] + run[2]):
                column = shot.column(x, top, bottom + 1)
                trace = [y for y, c in enumerate(column) if c == TRACE]
                echo = next((y for y, c in enumerate(column) if c not in (inactive, TRACE)), None)
                where = "column %d of %d" % (x - left, right - left + 1)
                self.assertIsNotNone(echo, where)
                self.assertLessEqual(abs(echo - expected_row), 3, "echo at row %d, 40 m is row %.0f (%s)"
                                     % (echo, expected_row, where))
                if trace:
                    self.assertLessEqual(abs(sum(trace) / len(trace) - expected_row), 3, (trace, where))


if __name__ == "__main__":
    harness.main()
