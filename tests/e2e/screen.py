"""The unit's screen under a virtual X server without a window manager: screenshots as pixels, and
text read off them.

Screenshots are taken with ImageMagick's `import` and read as PPM; text is read with `tesseract`.
Both are installed by scripts/install-deps.sh.
"""
import os
import re
import shutil
import subprocess
import time
from typing import NamedTuple


class VirtualScreen:
    """Xvfb of the given size, started in the test's own network namespace; the display number is
    the one the server picks, so tests may run side by side."""

    BUTTON_FACE = (200, 206, 214)       # of the operator screens in the day lighting

    def __init__(self, width: int = 1280, height: int = 800):
        self.width, self.height = width, height
        self.proc = None
        self.display = None

    def start(self):
        if not shutil.which("Xvfb"):
            raise FileNotFoundError("Xvfb is missing (scripts/install-deps.sh installs it)")
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % (self.width, self.height),
             "-nolisten", "tcp", "-nolisten", "unix"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            self.stop()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        return self

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()

    def env(self) -> dict:
        """Environment for a program that draws on this screen."""
        return {"DISPLAY": self.display, "QT_QPA_PLATFORM": "xcb", "XAUTHORITY": "/dev/null"}

    def shot(self) -> "Image":
        ppm = subprocess.run(["import", "-display", self.display, "-window", "root", "-depth", "8", "ppm:-"],
                             capture_output=True, check=True, timeout=30).stdout
        return Image.from_ppm(ppm)

    def tap(self, x: int, y: int):
        """A touch: the pointer moved there, pressed and released, as a touch screen's driver does."""
        subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"],
                       env=dict(os.environ, DISPLAY=self.display), check=True, timeout=30)

    def wait_text(self, pattern: str, region: tuple = (), timeout: float = 20.0) -> "Line":
        """The line (or word) of text matching the pattern once the screen shows it, in the region
        (left, top, right, bottom) when one is given."""
        deadline = time.monotonic() + timeout
        while True:
            line = self.shot().find(pattern, *region, face=self.BUTTON_FACE)
            if line:
                return line
            if time.monotonic() > deadline:
                shot = self.shot()
                kept = os.environ.get("KVE_E2E_SHOTS")     # a folder to keep the screen of a failure in
                if kept:
                    with open(os.path.join(kept, "missing-%d.ppm" % int(time.time())), "wb") as f:
                        f.write(shot.crop_ppm(0, 0, shot.width - 1, shot.height - 1))
                raise AssertionError("the screen shows no %r in %s; it reads: %s" % (
                    pattern, region or "the whole screen", [l.text for l in shot.lines(*region)]))
            time.sleep(0.5)

    def touch(self, pattern: str, region: tuple = (), timeout: float = 20.0) -> "Line":
        """Touches the middle of the text matching the pattern, as an operator touches a labelled
        button or row."""
        line = self.wait_text(pattern, region, timeout)
        self.tap(*line.centre)
        return line

    def windows(self) -> str:
        """The window tree as xwininfo tells it (name and geometry of each window)."""
        return subprocess.run(["xwininfo", "-display", self.display, "-root", "-tree"],
                              capture_output=True, text=True, timeout=30).stdout


class Line(NamedTuple):
    """A line of text read off the screen, with its box (inclusive)."""
    text: str
    left: int
    top: int
    right: int
    bottom: int

    @property
    def centre(self) -> tuple:
        return (self.left + self.right) // 2, (self.top + self.bottom) // 2


class Image:
    """RGB pixels of a screenshot."""

    def __init__(self, width: int, height: int, data: bytes):
        self.width, self.height, self.data = width, height, data

    @staticmethod
    def from_ppm(ppm: bytes) -> "Image":
        fields, pos = [], 0
        while len(fields) < 4:
            while ppm[pos:pos + 1].isspace():
                pos += 1
            if ppm[pos:pos + 1] == b"#":
                pos = ppm.index(b"\n", pos)
                continue
            end = pos
            while not ppm[end:end + 1].isspace():
                end += 1
            fields.append(ppm[pos:end])
            pos = end
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise ValueError("not an 8-bit PPM screenshot")
        width, height = int(fields[1]), int(fields[2])
        return Image(width, height, ppm[pos + 1:pos + 1 + width * height * 3])

    def pixel(self, x: int, y: int) -> tuple:
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def box_of(self, colour: tuple, x0=0, y0=0, x1=None, y1=None, min_run: int = 100):
        """Bounding box (left, top, right, bottom; inclusive) of the first run of at least min_run
        pixels of exactly this colour in each row of the region (a drawn area, not the edges of
        letters), or None."""
        x1 = self.width if x1 is None else x1
        y1 = self.height if y1 is None else y1
        want = bytes(colour)
        run_of = want * min_run
        left = top = None
        right = bottom = -1
        for y in range(y0, y1):
            row = self.data[(y * self.width + x0) * 3:(y * self.width + x1) * 3]
            at = row.find(run_of)
            while at >= 0 and at % 3:
                at = row.find(run_of, at + 1)
            if at < 0:
                continue
            end = at
            while row[end:end + 3] == want:
                end += 3
            top = y if top is None else top
            bottom = y
            left = at // 3 + x0 if left is None else min(left, at // 3 + x0)
            right = max(right, end // 3 - 1 + x0)
        return None if top is None else (left, top, right, bottom)

    def column(self, x: int, y0: int, y1: int) -> list:
        return [self.pixel(x, y) for y in range(y0, y1)]

    def crop_ppm(self, left: int, top: int, right: int, bottom: int) -> bytes:
        w, h = right - left + 1, bottom - top + 1
        rows = [self.data[(y * self.width + left) * 3:(y * self.width + right + 1) * 3] for y in range(top, bottom + 1)]
        return b"P6\n%d %d\n255\n" % (w, h) + b"".join(rows)

    def text(self, left: int, top: int, right: int, bottom: int, line: bool = True, chars: str = None) -> str:
        """Text in the region, read by tesseract after enlarging and inverting it (light figures on a
        dark background read best as dark on light); `chars` limits what it may read."""
        prepared = subprocess.run(["convert", "ppm:-", "-colorspace", "Gray", "-negate", "-resize", "300%",
                                   "png:-"], input=self.crop_ppm(left, top, right, bottom),
                                  capture_output=True, check=True, timeout=30).stdout
        limit = ["-c", "tessedit_char_whitelist=" + chars] if chars else []
        out = subprocess.run(["tesseract", "stdin", "stdout", "--psm", "7" if line else "6"] + limit,
                             input=prepared, capture_output=True, timeout=60)
        return out.stdout.decode("utf-8", "replace").strip()

    def words(self, left: int = 0, top: int = 0, right: int = None, bottom: int = None, sparse: bool = True) -> dict:
        """The words of text in the region with their places on the screen, by line, read by tesseract
        from an enlarged grey copy. Sparse reading finds labels scattered over a screen; the page
        reading (sparse=False) also finds lone figures such as the keys of a pad."""
        right = self.width - 1 if right is None else right
        bottom = self.height - 1 if bottom is None else bottom
        scale = 2
        prepared = subprocess.run(["convert", "ppm:-", "-colorspace", "Gray", "-resize", "%d%%" % (scale * 100),
                                   "png:-"], input=self.crop_ppm(left, top, right, bottom),
                                  capture_output=True, check=True, timeout=30).stdout
        tsv = subprocess.run(["tesseract", "stdin", "stdout", "--psm", "11" if sparse else "3", "tsv"],
                             input=prepared, capture_output=True, timeout=60).stdout.decode("utf-8", "replace")
        lines = {}
        for row in tsv.splitlines()[1:]:
            f = row.split("\t")
            if len(f) < 12 or not f[11].strip() or float(f[10]) < 40:
                continue
            x, y, w, h = (int(v) // scale for v in f[6:10])
            lines.setdefault(tuple(f[2:5]), []).append(
                Line(f[11].strip(), left + x, top + y, left + x + w - 1, top + y + h - 1))
        return lines

    def lines(self, left: int = 0, top: int = 0, right: int = None, bottom: int = None, sparse: bool = True) -> list:
        """The lines of text in the region (see words())."""
        return [Line(" ".join(w.text for w in words), min(w.left for w in words), min(w.top for w in words),
                     max(w.right for w in words), max(w.bottom for w in words))
                for words in self.words(left, top, right, bottom, sparse).values()]

    def buttons(self, face: tuple, left: int = 0, top: int = 0, right: int = None, bottom: int = None) -> list:
        """Buttons in the region as Lines: each area of the button face colour at least 40 x 40
        pixels, with its label read on its own (keys of a pad hold a lone figure, which reading a
        whole screen misses)."""
        right = self.width - 1 if right is None else right
        bottom = self.height - 1 if bottom is None else bottom
        crop = self.crop_ppm(left, top, right, bottom)
        report = subprocess.run(["convert", "ppm:-", "-fill", "white", "-opaque", "rgb(%d,%d,%d)" % face, "-fill",
                                 "black", "+opaque", "white", "-define", "connected-components:verbose=true",
                                 "-define", "connected-components:area-threshold=1000", "-connected-components",
                                 "4", "null:"], input=crop, capture_output=True, check=True, timeout=30).stdout
        found = []
        for m in re.finditer(rb"(\d+)x(\d+)\+(\d+)\+(\d+) \S+ \d+ srgb\(255,255,255\)", report):
            w, h, x, y = (int(v) for v in m.groups())
            if w < 40 or h < 40:
                continue
            x0, y0, x1, y1 = left + x, top + y, left + x + w - 1, top + y + h - 1
            label = subprocess.run(["convert", "ppm:-", "-colorspace", "Gray", "-resize", "200%", "png:-"],
                                   input=self.crop_ppm(x0 + 3, y0 + 3, x1 - 3, y1 - 3), capture_output=True,
                                   check=True, timeout=30).stdout
            text = subprocess.run(["tesseract", "stdin", "stdout", "--psm", "7"], input=label, capture_output=True,
                                  timeout=60).stdout.decode("utf-8", "replace").strip()
            found.append(Line(text, x0, y0, x1, y1))
        return found

    def find(self, pattern: str, left: int = 0, top: int = 0, right: int = None, bottom: int = None,
             face: tuple = None):
        """The first line of text, word or button label (buttons of the face colour, when given) in
        the region that matches the regular expression as a whole; None when there is none."""
        rx = re.compile(pattern)

        def lines_and_words(sparse):
            by_line = self.words(left, top, right, bottom, sparse)
            for words in by_line.values():
                yield Line(" ".join(w.text for w in words), min(w.left for w in words), min(w.top for w in words),
                           max(w.right for w in words), max(w.bottom for w in words))
            for words in by_line.values():
                yield from words

        readings = [lambda: lines_and_words(True)]
        if face:
            readings.append(lambda: self.buttons(face, left, top, right, bottom))
        readings.append(lambda: lines_and_words(False))
        for reading in readings:
            for line in reading():
                if rx.fullmatch(line.text):
                    return line
        return None


def palette_table(stops, inactive) -> list:
    """Colour of each sample byte for an echogram palette: stops spread evenly from the weakest echo,
    colours mixed linearly between them, entry 255 the colour of areas without data."""
    n = len(stops)
    table = []
    for i in range(256):
        t = i / 255.0
        hi = next((k for k in range(n) if k / n > t), None)
        if hi is None:
            table.append(tuple(stops[-1]))
            continue
        lo = hi - 1
        f = (t - lo / n) / (hi / n - lo / n)
        table.append(tuple(int(stops[hi][c] * f + stops[lo][c] * (1 - f)) for c in range(3)))
    table[255] = tuple(inactive)
    return table


# The echogram palettes by the colour names of the runtime screen settings.
PALETTES = {
    "Brown": ([(255, 255, 255)] * 3 + [(0, 80, 64), (0, 120, 40), (40, 160, 0), (120, 200, 0), (200, 200, 0),
                                        (240, 240, 0), (252, 200, 0), (224, 120, 0), (180, 80, 0), (160, 0, 20),
                                        (120, 0, 40), (80, 0, 20), (40, 0, 0)], (255, 255, 255)),
    "Yellow": ([(0, 0, 0)] * 2 + [(100, 50, 0), (125, 60, 0), (153, 76, 0), (255, 128, 0)], (25, 25, 25)),
}


class ScreenUnit:
    """kve420 on a virtual screen, started as on a bridge display without a window manager
    (maximize-window, frameless-window), with local display settings written beforehand."""

    def __init__(self, test, local_settings: dict, width: int = 1600, height: int = 900):
        from kvepeer.harness import Unit
        self.screen = VirtualScreen(width, height).start()
        test.addCleanup(self.screen.stop)
        self.unit = Unit(args=["maximize-window", "frameless-window"], env=self.screen.env())
        folder = os.path.join(self.unit.workdir, "Setup_Files", "KVE 420")
        os.makedirs(folder)
        for name, values in local_settings.items():
            with open(os.path.join(folder, "CU_%s.txt" % name), "w") as f:
                f.write("Type_LocalSetup," + ",".join("%s=%s" % kv for kv in values.items()) + "\n")
        self.unit.start()
        test.addCleanup(self.unit.cleanup)
        test.addCleanup(lambda: test._dump(self.unit))
        self.unit.wait_line("Watchdog register thread: Main thread", timeout=60)

    FRAME = (70, 78, 86)

    def wait_text(self, pattern: str, region: tuple = (), timeout: float = 20.0) -> "Line":
        return self.screen.wait_text(pattern, region, timeout)

    def touch(self, pattern: str, region: tuple = (), timeout: float = 20.0) -> "Line":
        return self.screen.touch(pattern, region, timeout)

    @classmethod
    def echogram_in(cls, shot, inactive: tuple, channel: int = 0):
        """The echogram area of a channel on a screenshot (left, top, right, bottom; inclusive): the
        rows of its inactive colour, which any picture that has not filled the width yet still
        shows on the left, out to the frame drawn round it on the right."""
        half = shot.width // 2
        box = shot.box_of(inactive, channel * half, 0, (channel + 1) * half, min_run=half // 4)
        if not box:
            return None
        left, top, right, bottom = box
        middle = (top + bottom) // 2
        while right + 1 < shot.width and shot.pixel(right + 1, middle) != cls.FRAME:
            right += 1
        return left, top, right, bottom

    def settled_shot(self, inactive: tuple, channel: int = 0):
        """A screenshot once the echogram's place no longer changes, with that place."""
        previous = None
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            shot = self.screen.shot()
            box = self.echogram_in(shot, inactive, channel)
            if box and box == previous:
                return shot, box
            previous = box
            time.sleep(0.5)
        raise AssertionError("no settled echogram of channel %d on the screen (%s)" % (channel + 1, previous))
