"""The running unit on a bare X screen: a full-screen window, the echogram in the colours chosen, and
depths on scale, readout and echogram in the unit chosen, changed while it runs."""
import re
import time

from kvepeer import JunctionBox, harness
from screen import PALETTES, ScreenUnit, palette_table

RANGE_50_M = 3          # index of the transducer's "Range" choice: 50 m, 150 ft, 25 fathoms
GREY_TRACE = (128, 128, 128)


class UnitsAndColoursOnScreen(harness.UnitTestCase):
    def test_window_colours_and_depth_unit_follow_the_settings(self):
        stops, inactive = PALETTES["Yellow"]
        unit = ScreenUnit(self, {"RuntimeScreenSetupA": {"EchoColour": 2, "PicSpeed": 1}})
        # Without a window manager the window still fills the screen (not its own 1280 x 800).
        windows = unit.screen.windows()
        self.assertRegex(windows, r'"Velmora Vantis Series - KVE 420".*\b1600x900\+0\+0', windows)

        box = JunctionBox(depth=(40.0, 60.0), ping_rate=5)
        box.setup.set("SetupSetup/TransducerSelectSetup/TransducerSetup1/Range", RANGE_50_M)
        self.start_station(box)
        unit.unit.wait_line("Complete setup received from junction box", timeout=20)
        time.sleep(6)

        # Every pixel of the echogram is a colour of the yellow palette or its grey bottom trace.
        shot, (left, top, right, bottom) = unit.settled_shot(inactive)
        table = palette_table(stops, inactive)
        allowed = set(table) | {GREY_TRACE}
        seen = {shot.pixel(x, y) for x in range(left, right + 1) for y in range(top, bottom + 1)}
        self.assertFalse(seen - allowed, "colours outside the yellow palette (echogram %s)" % ((left, top, right, bottom),))
        self.assertTrue(seen & set(table[100:128]), "no bottom echo")   # the peer's echoes reach 100 to 127
        self.assertIn(GREY_TRACE, seen)

        def depth_on_screen(unit_text, readout, range_text, range_metres):
            shot, (left, top, right, bottom) = unit.settled_shot(inactive)
            height = bottom - top + 1
            # Readout in large figures above the echogram, the range with its unit below it, and
            # the scale's deepest label at its foot.
            figures = shot.text(left + (right - left) // 3, max(0, top - 100), right + 60, top - 4, chars="0123456789.-")
            footer = shot.text(left + (right - left) * 3 // 10, bottom + 2, left + (right - left) * 7 // 10, bottom + 24)
            label = shot.text(right + 6, bottom - 26, min(shot.width // 2, right + 70), bottom + 1, chars="0123456789")
            number = re.search(r"\d+(\.\d)?", figures)
            self.assertEqual(number and number.group(0), readout, "readout %r" % figures)
            self.assertRegex(footer, r"\b%s\s*%s\b" % (range_text, unit_text), "range %r" % footer)
            self.assertEqual(re.sub(r"[^0-9]", "", label), range_text, "scale label %r" % label)
            # The bottom echo is drawn at 40 m of the range shown, with the trace on its top.
            column = shot.column(right - 1, top, bottom + 1)
            trace = [y for y, c in enumerate(column) if c == GREY_TRACE]
            self.assertTrue(trace, "no bottom trace in the newest column")
            expected = 40.0 / range_metres * height
            self.assertLessEqual(abs(sum(trace) / len(trace) - expected), 3, (trace, expected))

        depth_on_screen("m", "40.0", "50", 50.0)
        box.send_single("SetupSetup/OptionsSetup/ScalesDepth", 1)      # feet, while it runs
        time.sleep(2)
        depth_on_screen("ft", "131", "150", 150 * 0.3048)
        box.send_single("SetupSetup/OptionsSetup/ScalesDepth", 2)      # fathoms
        time.sleep(2)
        depth_on_screen("fm", "21.9", "25", 25 * 1.8288)


if __name__ == "__main__":
    harness.main()
