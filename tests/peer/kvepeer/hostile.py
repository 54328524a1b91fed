"""Malformed and hostile datagrams of every kind, for bursts against the unit's groups."""
import random

from . import binimage, iec450, nmea


def _flip(data: bytes, rng) -> bytes:
    b = bytearray(data)
    for _ in range(rng.randint(1, 4)):
        i = rng.randrange(len(b))
        b[i] ^= 1 << rng.randrange(8)
    return bytes(b)


def sentence_datagrams(rng: random.Random, source: str = "SD0108", dest: str = "SD0109"):
    """Endless hostile sentence datagrams: random bytes, flips, truncation, oversize, bad tokens,
    forged tag blocks with good checksums, and well-formed groups that never complete."""
    packer = iec450.Packer()
    good = [nmea.build("PZTQPAIR", [source, dest, "P"]), nmea.build("GPGGA", ["120000.00"] + [""] * 13),
            nmea.build("PZTQAVG", ["Type_Setup,SingleProperty,ESSetup,AlertSetup,AlarmShallow=7"])]
    while True:
        base = packer.pack([rng.choice(good)], source, [dest], rng.choice([None, "pztqsetup", "pztqruntime"]))[0]
        kind = rng.randrange(8)
        if kind == 0:
            yield bytes(rng.getrandbits(8) for _ in range(rng.randint(0, 200)))
        elif kind == 1:
            yield _flip(base, rng)
        elif kind == 2:
            yield base[:rng.randint(0, len(base) - 1)]
        elif kind == 3:
            yield base + b"x" * rng.randint(1461 - len(base), 3000)
        elif kind == 4:
            yield b"UdPbc\x00" + base[6:] if rng.random() < 0.5 else b"UdPbC\x01" + base[6:]
        elif kind == 5:
            body = rng.choice(["g:1-1-5,s:AB12,n:3", "s:SD0108,n:1000", "g:9-2-1,s:SD0108,d:X,n:1",
                               "g:1-99999999-1,s:SD0108,d:SD0109,n:5,t:pztqsetup", "x" * 90])
            yield iec450.HEADER + iec450.tagged(body, rng.choice(good)).encode()
        elif kind == 6:
            yield packer.pack(good * rng.randint(2, 20), source, [dest], "pztqsetup")[0]  # first part only
        else:
            yield base + base[6:]   # the same sentence twice in one datagram


def image_datagrams(rng: random.Random, source: str = "SD0108"):
    """Endless hostile image datagrams: mutated headers and descriptors, huge and half-open images,
    duplicates and reordering."""
    while True:
        parts = binimage.datagrams(bytes(rng.randint(0, 3000)), "KVEJBch1_Dsp,x", rng.randint(1, 2),
                                   rng.getrandbits(32), source)
        kind = rng.randrange(6)
        if kind == 0:
            yield _flip(parts[0][:38], rng) + parts[0][38:]
        elif kind == 1:
            yield _flip(parts[0], rng)
        elif kind == 2:     # announces a huge image and never completes it
            yield parts[0][:32] + (0xFFFFFFF).to_bytes(4, "big") + parts[0][36:]
        elif kind == 3:
            yield from reversed(parts)
        elif kind == 4:
            yield from parts + parts
        else:
            yield parts[0][:rng.randint(0, len(parts[0]))]
