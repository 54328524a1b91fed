"""Serial lines for end-to-end tests: a pseudo-terminal pair made by socat, one end for the unit (its
serial-<n> device), the far end for the test, which writes sentences in, reads what the unit sends,
or loops everything back like a loopback plug."""
import os
import select
import shutil
import subprocess
import tempfile
import threading
import time
import tty


class PtyPair:
    def __init__(self, name: str = "line", unit_path: str = None):
        """unit_path: where the unit's end appears (a device name that comes back after a loss)."""
        if not shutil.which("socat"):
            raise RuntimeError("socat is needed for the serial line tests (scripts/install-deps.sh)")
        self.dir = tempfile.mkdtemp(prefix="kve-pty-")
        self.unit_path = unit_path or os.path.join(self.dir, name)
        self.far_path = os.path.join(self.dir, name + "-far")
        self.proc = subprocess.Popen(["socat", "pty,raw,echo=0,link=" + self.unit_path,
                                      "pty,raw,echo=0,link=" + self.far_path],
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 10
        while not (os.path.exists(self.unit_path) and os.path.exists(self.far_path)):
            if time.monotonic() > deadline or self.proc.poll() is not None:
                raise RuntimeError("socat made no pseudo-terminal pair")
            time.sleep(0.02)
        self.fd = os.open(self.far_path, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
        tty.setraw(self.fd)
        self.received = bytearray()
        self.lines = []         # (time.monotonic(), line) of everything the unit sent
        self.cond = threading.Condition()
        self.looping = False
        self.lost = 0
        self._running = True
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _read(self):
        while self._running:
            ready, _, _ = select.select([self.fd], [], [], 0.1)
            if not ready:
                continue
            try:
                data = os.read(self.fd, 4096)
            except OSError:
                continue
            with self.cond:
                self.received += data
                while b"\n" in self.received:
                    line, _, rest = self.received.partition(b"\n")
                    self.received = bytearray(rest)
                    text = line.decode("latin-1") + "\n"
                    self.lines.append((time.monotonic(), text))
                    if self.looping:
                        self._write(text.encode("latin-1"))
                self.cond.notify_all()

    def _write(self, data: bytes):
        view = memoryview(data)
        while view:
            try:
                view = view[os.write(self.fd, view):]
            except BlockingIOError:
                select.select([], [self.fd], [], 0.1)

    def write(self, data):
        """Sends bytes (or text) to the unit's line."""
        self._write(data.encode("latin-1") if isinstance(data, str) else data)

    def loop_back(self, on: bool = True):
        """Everything the unit sends comes back to it, like a loopback plug on the line."""
        with self.cond:
            self.looping = on

    def wait_line(self, predicate, timeout: float = 15.0, since: float = 0.0, what: str = "a line"):
        """The first line after 'since' that the predicate accepts."""
        def found():
            return next((l for t, l in self.lines if t >= since and predicate(l)), None)
        with self.cond:
            line = self.cond.wait_for(found, timeout)
        if not line:
            raise TimeoutError("no %s from the unit within %.0f s; last lines: %r"
                               % (what, timeout, [l for _, l in self.lines[-5:]]))
        return line

    def lines_since(self, since: float) -> list:
        with self.cond:
            return [(t, l) for t, l in self.lines if t >= since]

    def close(self):
        self._running = False
        self._reader.join(2)
        os.close(self.fd)
        self.proc.terminate()
        self.proc.wait(5)
        shutil.rmtree(self.dir, ignore_errors=True)
