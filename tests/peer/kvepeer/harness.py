"""End-to-end test support: the real control unit as a child process, in a private network namespace."""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import unittest

from .station import private_network

NETNS_SETUP = "ip link set lo up; ip link set lo multicast on; ip route add 224.0.0.0/4 dev lo"
UNIT_ENV = "KVE420"     # path of the kve420 program


def ensure_private_network():
    """Re-executes this process under 'unshare --net' with loopback multicast when it is not already
    in a namespace of its own; inside one, makes sure loopback carries multicast."""
    if private_network():
        routes = subprocess.run(["ip", "route", "show", "224.0.0.0/4"], capture_output=True, text=True).stdout
        if "dev lo" not in routes:
            subprocess.run(["sh", "-c", NETNS_SETUP], check=True)
        return
    if os.environ.get("KVEPEER_NETNS"):
        sys.exit("kvepeer: 'unshare --net' did not give a private network namespace")
    os.environ["KVEPEER_NETNS"] = "1"
    argv = [sys.executable] + sys.orig_argv[1:]
    os.execvp("unshare", ["unshare", "--net", "sh", "-c", NETNS_SETUP + '; exec "$0" "$@"'] + argv)


def find_unit(path: str = None) -> str:
    """The kve420 program: the argument, $KVE420, or build/src/kve420 of this source tree."""
    path = path or os.environ.get(UNIT_ENV)
    if not path:
        root = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..", ".."))
        path = os.path.join(root, "build", "src", "kve420")
    if not os.access(path, os.X_OK):
        raise FileNotFoundError("kve420 not found at %s (set %s)" % (path, UNIT_ENV))
    return os.path.abspath(path)


class Unit:
    """kve420 started as a user starts it, in a fresh working folder, with every debug line kept."""

    def __init__(self, program: str = None, args=(), workdir: str = None, env: dict = None):
        self.program = find_unit(program)
        self.args = list(args)
        self._own_dir = workdir is None
        self.workdir = workdir or tempfile.mkdtemp(prefix="kve420-")
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen", KVE_ROOT=os.path.join(self.workdir, "root"))
        self.env.update(env or {})
        self.lines = []         # (time.monotonic(), line)
        self.cond = threading.Condition()
        self.proc = None

    def start(self):
        os.makedirs(self.env["KVE_ROOT"], exist_ok=True)
        self.started = time.monotonic()
        self.proc = subprocess.Popen([self.program, "spec-net-interface", "lo"] + self.args, cwd=self.workdir,
                                     env=self.env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                     stdin=subprocess.DEVNULL)
        self._reader = threading.Thread(target=self._read, args=(self.proc,), daemon=True)
        self._reader.start()
        return self

    def _read(self, proc):
        for raw in proc.stdout:
            with self.cond:
                self.lines.append((time.monotonic(), raw.decode("utf-8", "replace").rstrip("\n")))
                self.cond.notify_all()
        with self.cond:
            self.cond.notify_all()

    def wait_line(self, pattern: str, timeout: float = 15.0, since: float = 0.0) -> str:
        """Waits for a debug line matching the regular expression, written after 'since'."""
        rx = re.compile(pattern)

        def found():
            return next((l for t, l in self.lines if t >= since and rx.search(l)), None)
        with self.cond:
            line = self.cond.wait_for(lambda: found() or self.proc.poll() is not None, timeout)
            line = found()
        if not line:
            state = "ended with %s" % self.proc.returncode if self.proc.poll() is not None else "running"
            raise TimeoutError("no line matching %r within %.0f s (unit %s); last lines:\n%s"
                               % (pattern, timeout, state, self.tail()))
        return line

    def has_line(self, pattern: str, since: float = 0.0) -> bool:
        with self.cond:
            return any(t >= since and re.search(pattern, l) for t, l in self.lines)

    def tail(self, n: int = 30) -> str:
        with self.cond:
            return "\n".join(l for _, l in self.lines[-n:])

    def stop(self, timeout: float = 10.0) -> int:
        """Ends the unit (SIGTERM, then SIGKILL) and returns its exit code."""
        if self.proc and self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(timeout)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
            self._reader.join(5)
            self.proc.stdout.close()
        return self.proc.returncode if self.proc else None

    def restart(self):
        self.stop()
        return self.start()

    def cleanup(self):
        self.stop()
        if self._own_dir:
            shutil.rmtree(self.workdir, ignore_errors=True)

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.cleanup()


class UnitTestCase(unittest.TestCase):
    """Base of end-to-end tests: helpers to start the unit and peers that end with the test."""

    def start_unit(self, *args, **kw) -> Unit:
        unit = Unit(args=args, **kw).start()
        self.addCleanup(unit.cleanup)
        self.addCleanup(lambda: self._dump(unit))
        return unit

    def start_station(self, station, **kw):
        """Starts a peer station; it stops with the test, which fails if the station's own code did."""
        station.start(**kw)
        self.addCleanup(station.stop)
        self.addCleanup(lambda: self.assertEqual(station.faults, [], "faults of the peer itself"))
        return station

    def _dump(self, unit):
        result = getattr(getattr(self, "_outcome", None), "result", None)
        failed = result and any(test is self for test, _ in result.failures + result.errors)
        if failed or os.environ.get("KVEPEER_VERBOSE"):
            sys.stderr.write("---- last lines of the unit\n%s\n" % unit.tail(60))


def main():
    """unittest.main() inside a private network namespace."""
    ensure_private_network()
    unittest.main(module="__main__")
