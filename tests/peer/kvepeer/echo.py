"""Echo records as the junction box makes them: samples of one ping and the information text."""
import datetime
import math
import random

KINDS = {"display": "Dsp", "raw": "Raw", "filtered": "Fil"}
NO_DEPTH = -100


def info_text(channel: int, kind: str, depth: float, keel_offset: float = 0.0, draft: float = 2.0,
              buffer_range: float = 0.0, when: datetime.datetime = None) -> str:
    """13-character header ("KVEJBch1_" + kind + ","), then date, time and the detector's values:
    depths below transducer, keel and surface, range, then the diagnostics (zeros here)."""
    when = when or datetime.datetime.utcnow()
    valid = depth is not None and depth != NO_DEPTH
    depths = [depth, depth - keel_offset, depth + draft] if valid else [NO_DEPTH] * 3
    values = [when.strftime("%d-%m-%Y"), when.strftime("%H-%M-%S-") + "%03d" % (when.microsecond // 1000)]
    values += ["%.2f" % d if valid else str(NO_DEPTH) for d in depths]
    values += ["%.2f" % buffer_range] + ["0"] * 11
    return "KVEJBch%d_%s," % (channel + 1, KINDS[kind]) + ",".join(values)


def samples(depth: float, buffer_range: float, count: int = 500, rng: random.Random = random) -> bytes:
    """Signed-byte samples of one ping: decaying noise, a bottom echo at the depth and a tail below it."""
    out = bytearray(count)
    bottom = int(count * depth / buffer_range) if depth and depth > 0 and buffer_range > 0 else count
    for i in range(count):
        level = 20 * math.exp(-i / 30) + rng.randint(0, 6)
        if i >= bottom:
            level += 100 * math.exp(-(i - bottom) / 25)
        out[i] = min(int(level), 127)
    return bytes(out)


def range_for(depth: float) -> float:
    """The smallest range of the range table that shows the depth with a margin."""
    for r in (5, 10, 20, 50, 100, 150, 200, 250, 300, 400, 500, 1000, 2000, 3000, 4000, 5000, 6000):
        if depth is None or depth * 1.25 <= r:
            return float(r)
    return 6000.0
