"""IEC 61162-450 sentence datagrams: "UdPbC" NUL, then sentences each behind its own tag block."""
import threading
from typing import NamedTuple, Optional

from .nmea import checksum

HEADER = b"UdPbC\x00"
MAX_UDP = 1460


def tag_body(g=None, s=None, d=(), n=None, t=None) -> str:
    """Tag-block body in the fixed order g, s, d..., n, t; g is (index, count, group id)."""
    parts = []
    if g is not None:
        parts.append("g:%d-%d-%d" % tuple(g))
    if s is not None:
        parts.append("s:" + s)
    parts += ["d:" + x for x in d]
    if n is not None:
        parts.append("n:%d" % n)
    if t:
        parts.append("t:" + t)
    return ",".join(parts)


def tagged(body: str, sentence: str) -> str:
    return "\\" + body + "*" + checksum(body) + "\\" + sentence


class Tagged(NamedTuple):
    tags: dict          # "g": (i, count, id), "s": str, "d": [str], "n": int, "t": str, and any other key as text
    body: str
    checksum_ok: bool
    sentence: str       # the sentence text with its CR LF

    @property
    def group(self):
        return self.tags.get("g")


class Datagram(NamedTuple):
    raw: bytes
    entries: list       # Tagged, in order
    errors: list        # texts of pieces that could not be read

    @property
    def source(self) -> Optional[str]:
        return next((e.tags["s"] for e in self.entries if "s" in e.tags), None)

    @property
    def destinations(self) -> list:
        return next((e.tags["d"] for e in self.entries if e.tags.get("d")), [])

    @property
    def text_tag(self) -> str:
        return next((e.tags["t"] for e in self.entries if "t" in e.tags), "")

    @property
    def sentences(self) -> list:
        return [e.sentence for e in self.entries]

    def message_tag(self) -> str:
        """Identifies the datagram in acknowledgements: g value and line number of its last sentence."""
        last = self.entries[-1].tags
        g = last.get("g")
        return ("%d-%d-%d" % g if g else "1-1-1") + "-" + str(last.get("n", ""))


def parse_tags(body: str) -> dict:
    tags = {"d": []}
    for part in body.split(","):
        key, sep, value = part.partition(":")
        if not sep:
            continue
        if key == "g":
            try:
                tags["g"] = tuple(int(x) for x in value.split("-"))
            except ValueError:
                tags["g_text"] = value
        elif key == "n":
            tags["n"] = int(value) if value.isdigit() else value
        elif key == "d":
            tags["d"].append(value)
        else:
            tags[key] = value
    return tags


def parse(data: bytes) -> Optional[Datagram]:
    """Reads a sentence datagram; None when the header token is missing."""
    if not data.startswith(HEADER):
        return None
    text = data[len(HEADER):].decode("latin-1")
    entries, errors = [], []
    for piece in text.split("\r\n"):
        if not piece:
            continue
        if not piece.startswith("\\") or piece.count("\\") < 2:
            errors.append(piece)
            continue
        block, _, sentence = piece[1:].partition("\\")
        body, star, cs = block.rpartition("*")
        if not star:
            body, cs = block, ""
        entries.append(Tagged(parse_tags(body), body, checksum(body) == cs.upper(), sentence + "\r\n"))
    return Datagram(data, entries, errors)


class Packer:
    """Packs sentence lists into datagrams with group identifiers 1-99 and line numbers 1-999."""

    def __init__(self):
        self._lock = threading.Lock()
        self.group_id = 0
        self.line = 0

    def reset(self):
        with self._lock:
            self.group_id = self.line = 0

    def _next_line(self) -> int:
        self.line = self.line % 999 + 1
        return self.line

    def pack(self, sentences, source: str, dest=(), text_tag: str = None, grouped: bool = True) -> list:
        """Datagrams for one sentence group; the g: count runs across datagrams split at 1460 bytes."""
        with self._lock:
            self.group_id = self.group_id % 99 + 1
            out, current = [], bytearray(HEADER)
            for i, sentence in enumerate(sentences, 1):
                g = (i, len(sentences), self.group_id) if grouped else None
                piece = tagged(tag_body(g, source, dest, self._next_line(), text_tag), sentence).encode("latin-1")
                if len(HEADER) + len(piece) > MAX_UDP:
                    raise ValueError("tagged sentence longer than a datagram can carry")
                if len(current) + len(piece) > MAX_UDP:
                    out.append(bytes(current))
                    current = bytearray(HEADER)
                current += piece
            out.append(bytes(current))
            return out

    def ack(self, source: str, dest: str, message_tag: str) -> bytes:
        """Acknowledgement of one settings datagram (its sentence carries no checksum by design)."""
        return self.pack(["$PZTQAVG,ackmessage\r\n"], source, [dest], "pztqack" + message_tag)[0]
