"""The junction box: pairing, settings transfer with acknowledgements and resends, runtime values,
alerts and echo images, with switches for the ways a real box can misbehave."""
import random
import time

from . import binimage, echo, iec450, nmea, settings
from .station import ADMIN_GROUP, BINARY_GROUP, Station, nmea_group

BLOCK_ID_MODES = ("constant", "per-channel", "global", "random")


class JunctionBox(Station):
    RESENDS = 10

    def __init__(self, sfi: str = "SD0108", unit_sfi: str = "SD0109", group: int = 3,
                 software_version: str = "NOT_DEFINED", ping_rate: float = 5.0, depth=(12.5, 48.0),
                 block_ids="per-channel", interface: str = "127.0.0.1"):
        super().__init__(sfi, group, [ADMIN_GROUP], interface)
        self.unit_sfi = unit_sfi
        # What the box does; every switch may be changed while it runs.
        self.answer_pair = True         # SFIACK for PAIR
        self.setup_on_pair = True       # complete setup after the SFIACK
        self.answer_devstart = False    # a real box need not answer the unit's DEVSTART
        self.ack_setup = True           # pztqack for every pztqsetup datagram of the unit
        self.resend = True              # resend own unacknowledged setup datagrams every second
        self.publish_period = 1.0       # runtime values and alerts; None stops them
        self.ping_rate = ping_rate      # images per second and channel; 0 stops pinging
        self.depth = list(depth)        # metres below transducer per channel; None = no bottom
        self.channels = [0, 1]
        self.record_kinds = ["display"]  # add "raw" and "filtered" on request
        self.samples_per_ping = 500
        self.block_ids = block_ids      # one of BLOCK_ID_MODES, an int, or a function(channel) -> int
        self.setup = settings.load("shared_settings.txt")
        self.setup.set("KX12Setup/LocalSFI", sfi)
        self.setup.set("KX12Setup/Group", group)
        self.setup.set("KX12Setup/SoftwareVersion", software_version)
        self.runtime = settings.load("runtime.txt", invalid=True)
        self.alerts = settings.Alerts()
        self._reset_state()

    def _reset_state(self):
        with self.cond:
            self.packer = iec450.Packer()
            self.timestamps = {}
            self.unacked = {}           # message tag -> [datagram, resends, last sent]
            self.setup_sent = self.setup_acked = self.setup_lost = self.resent = 0
            self.acks_sent = 0
            self.pair_requests = []     # (time, PairDevices) of PAIR addressed to this box
            self._block = {"global": 0, 0: 0, 1: 0}
            self._silent_until = 0.0
            self._partial.clear()

    # ---- life cycle
    def start(self, announce: bool = True):
        super().start()
        self.every(lambda: self._live(0.25), self._tick)
        self.every(lambda: self._live(self.publish_period), self.publish)
        self.every(lambda: self._live(1.0 / self.ping_rate if self.ping_rate else None), self.ping)
        if announce:
            self.announce()
        return self

    def _live(self, period):
        return None if self.silent else period

    @property
    def silent(self) -> bool:
        return time.monotonic() < self._silent_until

    def fall_silent(self, seconds: float):
        """Sends and answers nothing for a while (a pulled cable); the recording goes on."""
        self._silent_until = time.monotonic() + seconds

    def restart(self, down_for: float = 1.0):
        """Like a power cycle: state cleared, silent for a moment, then a new DEVSTART."""
        self._reset_state()
        self.fall_silent(down_for)
        self.call_later(down_for, self.announce)

    def announce(self):
        self.send_sentences([nmea.build("PZTQDEVSTART", [self.sfi])])

    # ---- sending
    def send_raw(self, data: bytes, to: tuple):
        if not self.silent:
            super().send_raw(data, to)

    def send_text(self, text: str, dest: str = None) -> list:
        """Sends a settings text to the unit; setup and mark texts are kept until acknowledged."""
        first = text.split(",", 1)[0]
        setup = ("Type_Setup" in first or "Type_Mark" in first) and "NoAck" not in first
        tag = "pztqsetup" if setup else "pztqruntime"
        datagrams = self.packer.pack(nmea.carrier_sentences(text), self.sfi, [dest or self.unit_sfi], tag)
        if setup:   # kept before sending: the acknowledgement may come back at once
            with self.cond:
                for d in datagrams:
                    self.unacked[iec450.parse(d).message_tag()] = [d, 0, time.monotonic()]
                self.setup_sent += len(datagrams)
        for d in datagrams:
            self.send_raw(d, nmea_group(self.group))
        return datagrams

    def send_sentences(self, sentences, to=None, sfi=None, dest=(), text_tag=None, grouped=True):
        if sfi is None and to is None:
            datagrams = self.packer.pack(sentences, self.sfi, dest, text_tag, grouped)
            for d in datagrams:
                self.send_raw(d, nmea_group(self.group))
            return datagrams
        return super().send_sentences(sentences, to, sfi, dest, text_tag, grouped)

    def send_setup(self):
        return self.send_text(self.setup.complete_text("Type_Setup"))

    def send_single(self, path: str, value, timestamp=None, no_ack: bool = False):
        """Changes one shared setting ("AlertSetup/AlarmShallow") and tells the unit; timestamp True
        stamps it with the current time in milliseconds."""
        if timestamp is True:
            timestamp = int(time.time() * 1000)
        self.setup.set(path, value)
        *objs, name = path.split("/")
        return self.send_text(settings.single_text("Type_Setup", ["ESSetup"] + objs, name, value, timestamp, no_ack))

    def publish(self):
        """Runtime values and alert states, as the box publishes them every second."""
        for ch in (0, 1):
            d = self.depth[ch] if ch in self.channels else None
            for kind, offset in (("Transducer", 0.0), ("Keel", 0.0), ("Surface", self._draft(ch))):
                self.runtime.set("Depth%sCh%d" % (kind, ch + 1), None if d is None else d + offset)
        first = next((self.depth[c] for c in self.channels if self.depth[c] is not None), None)
        for kind, offset in (("Transducer", 0.0), ("Keel", 0.0), ("Surface", self._draft(0))):
            self.runtime.set("Depth" + kind, None if first is None else first + offset)
        self.send_text(self.runtime.complete_text("Type_Runtime"))
        self.send_text(self.alerts.text())

    def set_alert(self, name: str, state: int, **fields):
        """Sets one of the nine alerts ("AlarmShallow", state 0 = active unacknowledged) and publishes."""
        with self.cond:
            self.alerts.set(name, state, **fields)
        self.send_text(self.alerts.text())

    def _draft(self, ch):
        return float(self.setup.get("SetupSetup/TransducerSelectSetup/TransducerSetup%d/Draft" % (ch + 1)))

    def block_id(self, channel: int) -> int:
        mode = self.block_ids
        if callable(mode):
            return mode(channel)
        if isinstance(mode, int):
            return mode
        if mode == "random":
            return random.getrandbits(32)
        key = "global" if mode == "global" else channel
        if mode == "constant":
            return 1
        self._block[key] += 1
        return self._block[key]

    def send_image(self, channel: int, image: bytes, info: str, block_id: int = None, **kw) -> list:
        """One echo record as image datagrams; channel is 0 or 1."""
        bid = self.block_id(channel) if block_id is None else block_id
        datagrams = binimage.datagrams(image, info, channel + 1, bid, self.sfi, **kw)
        for d in datagrams:
            self.send_raw(d, BINARY_GROUP)
        return datagrams

    def ping(self):
        for ch in list(self.channels):
            depth = self.depth[ch]
            rng = echo.range_for(depth)
            for kind in self.record_kinds:
                info = echo.info_text(ch, kind, depth, draft=self._draft(ch), buffer_range=rng)
                self.send_image(ch, echo.samples(depth, rng, self.samples_per_ping), info)

    # ---- periodic work
    def _tick(self):
        """Resends each setup datagram unacknowledged for a second, ten times at most."""
        now = time.monotonic()
        with self.cond:
            for tag, record in list(self.unacked.items()):
                if now - record[2] < 1.0:
                    continue
                record[1] += 1
                record[2] = now
                if record[1] > self.RESENDS:
                    del self.unacked[tag]
                    self.setup_lost += 1
                elif self.resend:
                    self.resent += 1
                    self.send_raw(record[0], nmea_group(self.group))
            self.cond.notify_all()

    # ---- reception
    def on_datagram(self, d):
        if self.silent:
            return False
        dests = d.destinations
        if dests and self.sfi not in dests:
            return False
        tag = d.text_tag
        if tag.startswith("pztqack"):
            with self.cond:
                if self.unacked.pop(tag[len("pztqack"):], None):
                    self.setup_acked += 1
                self.cond.notify_all()
            return False
        if tag == "pztqsetup" and self.ack_setup and d.source:
            self._ack_due = d
        return True

    def _receive(self, data, group, sender):
        """Acknowledges a setup datagram once its contents have been applied."""
        self._ack_due = None
        super()._receive(data, group, sender)
        if self._ack_due:
            d = self._ack_due
            self.send_raw(self.packer.ack(self.sfi, d.source, d.message_tag()), nmea_group(self.group))
            with self.cond:
                self.acks_sent += 1

    def on_group(self, d, sentences, text):
        if text is not None:
            self._on_text(text)
            return
        for s in filter(None, map(nmea.parse, sentences)):
            f = s.named()
            if s.kind == "PZTQPAIR" and f.get("DestinationSfi") == self.sfi:
                self._on_pair(f.get("SourceSfi", ""), f.get("PairDevices", ""))
            elif s.kind == "PZTQDEVSTART" and self.answer_devstart and f.get("LocalSfi") != self.sfi:
                self.announce()
            elif s.kind == "PZTQSFICHANGE" and f.get("OldSfi") == self.unit_sfi:
                self.unit_sfi = f.get("NewSfi")

    def _on_pair(self, unit, how):
        with self.cond:
            self.pair_requests.append((time.monotonic(), how))
            self.cond.notify_all()
        if not self.answer_pair:
            return
        self.send_sentences([nmea.build("PZTQSFIACK", [self.sfi, unit, "PAIR", how])], dest=[unit])
        if how == "P":
            self.unit_sfi = unit
            with self.cond:
                self.timestamps.clear()
            if self.setup_on_pair:
                self.send_setup()

    def _on_text(self, text):
        single = settings.read_single(text)
        with self.cond:
            if single and single.name == "AckFromDisplay":
                self.alerts.ack_from_display = single.value
                acked = self.alerts.acknowledge(single.value)
            elif single and single.tag == "Type_Setup" and single.path[:1] == ["ESSetup"]:
                acked = None
                stored = self.timestamps.get(single.key, -1)
                if single.timestamp is None or stored <= single.timestamp:
                    if single.timestamp is not None:
                        self.timestamps[single.key] = single.timestamp
                    try:
                        self.setup.set(single.key, single.value)
                    except KeyError:
                        pass
            elif not single and text.startswith("Type_Setup,"):
                acked = None
                settings.apply_complete(self.setup, text, self.timestamps)
            else:
                return
        if acked:
            self.send_text(self.alerts.text())
