"""NMEA 0183 sentence text: checksum, building, parsing, proprietary carrier sentences."""
import os
from typing import NamedTuple, Optional

DATA = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "data")


def checksum(text: str) -> str:
    value = 0
    for b in text.encode("latin-1"):
        value ^= b
    return "%02X" % value


def build(address: str, fields=(), start: str = "$") -> str:
    body = address + "," + ",".join(str(f) for f in fields)
    return f"{start}{body}*{checksum(body)}\r\n"


class Sentence(NamedTuple):
    text: str           # the line as received, without CR LF
    address: str        # "SDDPT", "PZTQPAIR"
    fields: list
    checksum_ok: bool

    @property
    def talker(self) -> str:
        return self.address[:4] if self.address.startswith("P") else self.address[:2]

    @property
    def formatter(self) -> str:
        return self.address[len(self.talker):]

    @property
    def kind(self) -> str:
        """Formatter with "PZTQ" in front for proprietary sentences, as in the field table."""
        return self.address if self.address.startswith("P") else self.formatter

    def named(self) -> dict:
        """Fields by name, from the sentence table; unknown sentences give field1, field2, ..."""
        names = FIELD_NAMES.get(self.kind) or [f"field{i + 1}" for i in range(len(self.fields))]
        return dict(zip(names, self.fields))


def parse(line: str) -> Optional[Sentence]:
    """Splits one sentence line; None when it has no start character or no '*hh' ending."""
    line = line.rstrip("\r\n")
    if len(line) < 4 or line[0] not in "$!" or line[-3] != "*":
        return None
    body = line[1:-3]
    parts = body.split(",")
    return Sentence(line, parts[0], parts[1:], checksum(body) == line[-2:])


def carrier_sentences(text: str, formatter: str = "PZTQAVG") -> list:
    """Cuts a settings text into proprietary sentences of at most 82 characters."""
    size = 75 - len(formatter)
    return [build(formatter, [text[i:i + size]]) for i in range(0, max(len(text), 1), size)]


def join_carriers(sentences) -> str:
    """Joins carrier sentences back into the text (the pieces are cut without regard to commas)."""
    out = []
    for s in sentences:
        s = s.rstrip("\r\n")
        start = s.find(",") + 1
        end = s.rfind("*")
        out.append(s[start:end if end >= start else len(s)])
    return "".join(out)


def _load_field_names() -> dict:
    names = {}
    with open(os.path.join(DATA, "sentences.txt"), encoding="utf-8") as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                addr, _, fields = line.strip().partition(" ")
                names[addr] = fields.split(",") if fields else []
    return names


FIELD_NAMES = _load_field_names()
