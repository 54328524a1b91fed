"""A station on the loopback IEC 61162-450 network: sockets, a worker thread, recording of what it hears."""
import heapq
import itertools
import os
import selectors
import socket
import struct
import threading
import time
import traceback
from typing import NamedTuple

from . import iec450, nmea

LOOPBACK = "127.0.0.1"
BINARY_GROUP = ("239.192.0.24", 60024)
ADMIN_GROUP = ("239.192.0.56", 60056)


def nmea_group(group: int) -> tuple:
    """Sentence group g (0 MISC ... 3 NAVD ... 7 PROP): 239.192.0.(g+1), port 60001+g."""
    return ("239.192.0.%d" % (group + 1), 60001 + group)


def private_network() -> bool:
    """True inside a network namespace of our own (loopback only), the one place we may send."""
    try:
        with open("/proc/self/net/dev") as f:
            return [line.split(":")[0].strip() for line in f.readlines()[2:]] == ["lo"]
    except OSError:
        return False


class Heard(NamedTuple):
    time: float         # time.monotonic()
    group: tuple        # (address, port) it arrived on
    sender: tuple       # (ip, port) of the sending socket
    datagram: object    # iec450.Datagram, or None when the header token was missing
    raw: bytes


class HeardSentence(NamedTuple):
    time: float
    source: str         # s: of the tag block
    text_tag: str
    sentence: nmea.Sentence


class HeardText(NamedTuple):
    time: float
    source: str
    text_tag: str       # "pztqsetup" or "pztqruntime"
    text: str


class Station:
    """Joins sentence groups on loopback, records every datagram of others and reassembles groups.
    Subclasses react through on_datagram() and on_group(); every recording change wakes wait_for()."""

    GROUP_TIMEOUT = 5.0

    def __init__(self, sfi: str, group: int = 3, extra_groups=(), interface: str = LOOPBACK):
        self.sfi, self.group, self.interface = sfi, group, interface
        self.groups = [nmea_group(group)] + list(extra_groups)
        self.cond = threading.Condition(threading.RLock())
        self.heard, self.sentences, self.texts = [], [], []
        self.sent_count = 0
        self.faults = []
        self._packers = {}
        self._partial = {}
        self._timers, self._seq = [], itertools.count()
        self._thread = self._tx = None
        self._running = False
        self._rx = {}

    # ---- life cycle
    def start(self):
        if not private_network():
            raise RuntimeError("refusing to send multicast outside a private network namespace "
                               "(run under kvepeer.harness or 'unshare --net')")
        self._tx = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self._tx.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_IF, socket.inet_aton(self.interface))
        self._tx.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_TTL, 1)
        self._tx.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_LOOP, 1)
        self._tx.bind((self.interface, 0))
        self._selector = selectors.DefaultSelector()
        for group in self.groups:
            self._join(group)
        self._running = True
        self._thread = threading.Thread(target=self._loop, name=type(self).__name__, daemon=True)
        self._thread.start()
        return self

    def stop(self):
        self._running = False
        if self._thread:
            self._thread.join(5)
        for s in list(self._rx.values()) + [self._tx]:
            if s:
                s.close()
        self._rx.clear()
        self._thread = self._tx = None

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    def _join(self, group):
        s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        s.bind(group)
        s.setsockopt(socket.IPPROTO_IP, socket.IP_ADD_MEMBERSHIP,
                     struct.pack("4s4s", socket.inet_aton(group[0]), socket.inet_aton(self.interface)))
        s.setblocking(False)
        self._selector.register(s, selectors.EVENT_READ, group)
        self._rx[group] = s

    def call_later(self, delay: float, fn):
        """Runs fn on the station's thread after delay seconds."""
        with self.cond:
            heapq.heappush(self._timers, (time.monotonic() + delay, next(self._seq), fn))

    def every(self, period_fn, fn):
        """Runs fn on the station's thread at a steady rate; period_fn() gives the current period
        (None pauses). A run that falls more than a period behind starts the count again."""
        due = [time.monotonic()]

        def again():
            period = period_fn()
            if period:
                fn()
            now = time.monotonic()
            due[0] = max(due[0] + period, now - period) if period else now + 0.2
            self.call_later(max(0.0, due[0] - now), again)
        self.call_later(0, again)

    def _loop(self):
        while self._running:
            with self.cond:
                due = self._timers[0][0] - time.monotonic() if self._timers else 0.2
            for key, _ in self._selector.select(max(0.0, min(due, 0.2))):
                self._guarded(self._read, key.fileobj, key.data)
            while True:
                with self.cond:
                    if not self._timers or self._timers[0][0] > time.monotonic():
                        break
                    _, _, fn = heapq.heappop(self._timers)
                self._guarded(fn)

    def _guarded(self, fn, *args):
        """A fault of the station's own code is printed and kept in 'faults'; the station goes on."""
        try:
            fn(*args)
        except Exception as e:
            traceback.print_exc()
            with self.cond:
                self.faults.append(e)

    def _read(self, sock, group):
        while True:
            try:
                data, sender = sock.recvfrom(65536)
            except (BlockingIOError, OSError):
                return
            if sender == self._tx.getsockname():
                continue    # our own datagram, looped back
            self._receive(data, group, sender)

    # ---- reception
    def _receive(self, data, group, sender):
        now = time.monotonic()
        d = iec450.parse(data) if group != BINARY_GROUP else None
        with self.cond:
            self.heard.append(Heard(now, group, sender, d, data))
            self.cond.notify_all()
        if d is None or not d.entries:
            return
        if self.on_datagram(d) is False:
            return
        for e in d.entries:
            g = e.group
            if not g or len(g) != 3:
                self._group_complete(now, d, [e.sentence])
                continue
            key = (d.source, g[2], g[1])
            parts = self._partial.setdefault(key, [now, {}])
            parts[1][g[0]] = e.sentence
            if len(parts[1]) >= g[1]:
                del self._partial[key]
                self._group_complete(now, d, [parts[1][i] for i in sorted(parts[1])])
        for key in [k for k, v in self._partial.items() if now - v[0] > self.GROUP_TIMEOUT]:
            del self._partial[key]

    def _group_complete(self, now, d, sentences):
        tag = d.text_tag
        with self.cond:
            if tag.startswith("pztq") and all(s.startswith("$PZTQAVG,") for s in sentences):
                text = nmea.join_carriers(sentences)
                self.texts.append(HeardText(now, d.source, tag, text))
            else:
                text = None
                for s in sentences:
                    parsed = nmea.parse(s)
                    if parsed:
                        self.sentences.append(HeardSentence(now, d.source, tag, parsed))
            self.cond.notify_all()
        self.on_group(d, sentences, text)

    def on_datagram(self, d):
        """Called for every sentence datagram of another station; False stops its further handling."""

    def on_group(self, d, sentences, text):
        """Called with every complete sentence group; text is the joined settings text, if it was one."""

    # ---- sending
    def send_raw(self, data: bytes, to: tuple):
        with self.cond:
            self.sent_count += 1
        self._tx.sendto(data, to)

    def send_sentences(self, sentences, to: tuple = None, sfi: str = None, dest=(), text_tag: str = None,
                       grouped: bool = True) -> list:
        """Sends sentences as one group from any SFI (another piece of ship equipment if given)."""
        packer = self._packers.setdefault(sfi or self.sfi, iec450.Packer())
        datagrams = packer.pack(sentences, sfi or self.sfi, dest, text_tag, grouped)
        for d in datagrams:
            self.send_raw(d, to or nmea_group(self.group))
        return datagrams

    # ---- recording
    def wait_for(self, predicate, timeout: float = 15.0, what: str = "condition"):
        """Waits until predicate() (called with the recording locked) returns something true; returns it."""
        with self.cond:
            result = self.cond.wait_for(predicate, timeout)
        if not result:
            raise TimeoutError("timed out after %.0f s waiting for %s" % (timeout, what))
        return result

    def sentences_of(self, kind: str, source: str = None, since: float = 0.0) -> list:
        """Heard sentences of a kind ("DPT", "PZTQPAIR"), optionally from one SFI, after a time."""
        with self.cond:
            return [h for h in self.sentences if h.sentence.kind == kind and h.time >= since
                    and (source is None or h.source == source)]

    def wait_sentence(self, kind: str, source: str = None, since: float = 0.0, timeout: float = 15.0,
                      where=lambda s: True) -> HeardSentence:
        return self.wait_for(lambda: next((h for h in self.sentences_of(kind, source, since)
                                           if where(h.sentence)), None), timeout, "a %s sentence" % kind)

    def texts_from(self, source: str = None, since: float = 0.0, contains: str = "") -> list:
        with self.cond:
            return [t for t in self.texts if t.time >= since and contains in t.text
                    and (source is None or t.source == source)]

    def wait_text(self, contains: str, source: str = None, since: float = 0.0, timeout: float = 15.0) -> HeardText:
        return self.wait_for(lambda: next(iter(self.texts_from(source, since, contains)), None), timeout,
                             "a settings text containing %r" % contains)


class Listener(Station):
    """A third-party IEC 61162-450 client on a sentence group: hears and decodes, never answers."""

    def __init__(self, group: int = 3, sfi: str = "EI0001", interface: str = LOOPBACK):
        super().__init__(sfi, group, (), interface)
