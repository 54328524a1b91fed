"""Binary echo-image datagrams (IEC 61162-450 binary file transfer, header version 2)."""
import struct
from typing import NamedTuple

from .iec450 import MAX_UDP

HEADER_LEN = 38
DATA_TYPE = b"application/octet-stream"
_HEADER = struct.Struct(">6sHH6s6sHIIIBB")


class ImageDatagram(NamedTuple):
    token: bytes
    version: int
    header_length: int
    source: str
    destination: str
    message_type: int
    block_id: int
    sequence: int
    max_sequence: int
    device: int
    channel: int
    descriptor: dict    # only in sequence 1: file_length, data_type, info
    payload: bytes


def _sfi(text: str) -> bytes:
    return text.encode("latin-1")[:6].ljust(6, b"\x00")


def descriptor(file_length: int, info: str) -> bytes:
    status = info.encode("latin-1")
    length = 15 + len(DATA_TYPE) + len(status)
    return (struct.pack(">IIHHB", length, file_length, 0, 0, len(DATA_TYPE)) + DATA_TYPE
            + struct.pack(">H", len(status)) + status)


def datagrams(image: bytes, info: str, channel: int, block_id: int, source: str,
              destination: str = "XXXXXX", device: int = 1, token: bytes = b"RaUdP") -> list:
    """All datagrams of one image; channel is 1-based as on the wire."""
    desc = descriptor(len(image), info)
    first = MAX_UDP - HEADER_LEN - len(desc)
    rest = MAX_UDP - HEADER_LEN
    if first < 0:
        raise ValueError("information text too long for one datagram")
    pieces = [image[:first]] + [image[i:i + rest] for i in range(first, len(image), rest)]
    out = []
    for seq, piece in enumerate(pieces, 1):
        header = _HEADER.pack(token + b"\x00", 2, HEADER_LEN, _sfi(source), _sfi(destination), 1,
                              block_id & 0xFFFFFFFF, seq, len(pieces), device, channel)
        out.append(header + (desc if seq == 1 else b"") + piece)
    return out


def parse(data: bytes) -> ImageDatagram:
    """Reads one image datagram; raises ValueError when it is too short to hold its header."""
    if len(data) < HEADER_LEN:
        raise ValueError("datagram shorter than the header")
    f = list(_HEADER.unpack_from(data))
    f[0] = f[0].rstrip(b"\x00")
    f[3] = f[3].rstrip(b"\x00").decode("latin-1")
    f[4] = f[4].rstrip(b"\x00").decode("latin-1")
    body, desc = data[HEADER_LEN:], {}
    if f[7] == 1 and len(body) >= 15:
        length, file_length, _, _, n = struct.unpack_from(">IIHHB", body)
        (m,) = struct.unpack_from(">H", body, 13 + n)
        desc = {"file_length": file_length, "data_type": body[13:13 + n].decode("latin-1"),
                "info": body[15 + n:15 + n + m].decode("latin-1")}
        body = body[length:]
    return ImageDatagram(*f, desc, body)


def reassemble(parts) -> tuple:
    """(image, info) from the datagrams of one image in any order."""
    parts = sorted(parts, key=lambda p: p.sequence)
    return b"".join(p.payload for p in parts), parts[0].descriptor.get("info", "")
