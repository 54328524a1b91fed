"""The running unit worked by touch alone, as an officer works it: the shallow alarm limit changed
on the alarms setup page with the on-screen numeric pad (a value outside its limits refused and
nothing sent, then a good one sent to the junction box and saved), and the echogram printed to a PDF
file from the main screen."""
import glob
import os
import re
import subprocess
import time

from kvepeer import JunctionBox, harness, settings
from screen import PALETTES, Image, ScreenUnit, VirtualScreen, palette_table
from unitpeer import UNIT, setup_file

RANGE_50_M = 3          # index of the transducer's "Range" choice: 50 m
# Regions of the 1600 x 900 screen: the screens in the middle, the quick control bar at their right.
SCREENS = (0, 40, 1330, 760)
QUICK_BAR = (1330, 40, 1599, 760)
PAD = (860, 100, 1330, 700)     # the numeric pad at the right of an editor
ENTRY = (0, 110, 945, 190)      # the figures entered, above the pad's left


class TouchSetupAndPrint(harness.UnitTestCase):
    def setUp(self):
        self.unit = ScreenUnit(self, {"RuntimeScreenSetupA": {"EchoColour": 2, "PicSpeed": 1}})
        self.box = JunctionBox(depth=(40.0, 60.0), ping_rate=5)
        self.box.setup.set("SetupSetup/OptionsSetup/AutoFunctions", 1)                         # off
        self.box.setup.set("SetupSetup/TransducerSelectSetup/TransducerSetup1/Range", RANGE_50_M)
        self.start_station(self.box)
        self.unit.unit.wait_line("Complete setup received from junction box", timeout=20)

    def shallow_texts(self, since):
        return [settings.read_single(t.text) for t in self.box.texts_from(UNIT, since, "AlarmShallow=")]

    def press_keys(self, pressed):
        """Presses the numeric pad's keys, found once on the editor."""
        keys = self.unit.screen.shot().buttons(VirtualScreen.BUTTON_FACE, *PAD)
        labels = [k.text for k in keys]
        at = {k.text: k.centre for k in keys if labels.count(k.text) == 1}    # a misread twin is no key
        for key in pressed:
            self.assertIn(key, at, "key %r not on the pad (read: %s)" % (key, sorted(at)))
            self.unit.screen.tap(*at[key])
            time.sleep(0.2)

    def test_shallow_alarm_limit_changed_on_the_setup_page_by_touch(self):
        unit, box = self.unit, self.box
        self.assertIn("AlarmShallow=10", setup_file(unit.unit, "JB_AlertSetup"))
        unit.touch("Setup", QUICK_BAR)
        unit.touch("Alarms", SCREENS)
        unit.wait_text(r"Alarm Shallow", SCREENS)
        unit.touch(r"Alarm Shallow", SCREENS)
        unit.wait_text(r"Alarm Shallow \[m\]", SCREENS)

        # Beyond its limits: refused with the reason on screen, nothing sent, nothing saved.
        since = time.monotonic()
        self.press_keys("150")
        unit.wait_text("150", ENTRY)
        unit.touch("Apply", SCREENS)
        unit.wait_text(r"Not changed:.*", SCREENS)
        time.sleep(2)
        self.assertEqual(self.shallow_texts(since), [])
        self.assertIn("AlarmShallow=10", setup_file(unit.unit, "JB_AlertSetup"))

        # 12 m: the single-property text reaches the box, which applies and acknowledges it, and
        # the alert settings file holds the new limit.
        self.press_keys("C12")
        unit.wait_text("12", ENTRY)
        since = time.monotonic()
        acks_before = box.acks_sent
        unit.touch("Apply", SCREENS)
        box.wait_for(lambda: self.shallow_texts(since), 15, "the new shallow limit from the unit")
        change = self.shallow_texts(since)[0]
        self.assertEqual(change.key, "AlertSetup/AlarmShallow")
        self.assertAlmostEqual(float(change.value), 12.0)
        self.assertFalse(change.no_ack)
        box.wait_for(lambda: float(box.setup.get("AlertSetup/AlarmShallow")) == 12.0, 5, "the box taking the limit")
        box.wait_for(lambda: box.acks_sent > acks_before, 5, "the box's acknowledgement")
        box.wait_for(lambda: re.search(r"AlarmShallow=12(\.0+)?,", setup_file(unit.unit, "JB_AlertSetup")), 10,
                     "the new limit in the alert settings file")
        self.assertEqual(len(self.shallow_texts(since)), 1, "one change, one text")

        # Back on the page the row shows the new limit, and so does the quick control.
        unit.wait_text(r"12\.0 m.*", SCREENS)
        label = unit.wait_text("Shallow", QUICK_BAR)
        unit.wait_text(r"12\.0 m", (label.left - 20, label.top, label.right + 20, label.bottom + 40))

    def test_echogram_printed_to_pdf_from_the_main_screen(self):
        unit = self.unit
        time.sleep(8)   # some echogram to print
        unit.touch("Print", QUICK_BAR)
        unit.touch("Save as PDF", SCREENS)
        line = unit.unit.wait_line(r"Echogram printed to PDF: ", timeout=20)
        path = line.split("Echogram printed to PDF: ", 1)[1].strip()
        self.assertTrue(path.startswith(unit.unit.workdir), path)
        self.assertEqual(glob.glob(os.path.join(unit.unit.workdir, "Printouts", "*.pdf")), [path])
        unit.wait_text(r"Saved:.*", SCREENS)

        text = subprocess.run(["pdftotext", "-layout", path, "-"], capture_output=True, text=True,
                              check=True, timeout=60).stdout
        self.assertRegex(text, r"KVE 420 echogram\s+CH1\s+Range 50 m")
        self.assertRegex(text, r"\d{4}-\d\d-\d\d UTC")
        render = subprocess.run(["pdftoppm", "-r", "60", "-f", "1", "-l", "1", path], capture_output=True,
                                timeout=60)
        self.assertEqual(render.returncode, 0, render.stderr)
        ppm = render.stdout
        page = Image.from_ppm(ppm)
        if os.environ.get("KVE_E2E_SHOTS"):
            with open(os.path.join(os.environ["KVE_E2E_SHOTS"], "printout.ppm"), "wb") as f:
                f.write(ppm)

        # The echogram on the page: its area in the colour of times without data, out to the newest
        # columns at its right, holding the yellow palette's bottom echoes (bytes 100 to 127 of the
        # peer's pings) at 40 m of the 50 m range.
        stops, inactive = PALETTES["Yellow"]
        echo = set(palette_table(stops, inactive)[100:128])
        area = page.box_of(inactive, min_run=page.width // 4)
        self.assertIsNotNone(area, "no echogram on the page")
        left, top, right, bottom = area
        self.assertGreater(bottom - top, page.height // 2, area)
        while right + 1 < page.width and page.pixel(right + 1, (top + bottom) // 2) != (255, 255, 255):
            right += 1

        def near_echo(c):
            return any(sum(abs(a - b) for a, b in zip(c, e)) <= 12 for e in echo)
        rows = [y for y in range(top, bottom + 1) if any(near_echo(page.pixel(x, y)) for x in range(left, right + 1))]
        self.assertTrue(rows, "no bottom echo on the page's echogram %s" % (area,))
        depth = (sum(rows) / len(rows) - top) / (bottom - top + 1) * 50.0
        self.assertAlmostEqual(depth, 40.0, delta=3.0)

if __name__ == "__main__":
    harness.main()
