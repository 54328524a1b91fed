"""What the network end-to-end tests ask of the running unit, through its outside only: its debug
lines, the sentences and texts it sends, its files."""
import os
import time

from kvepeer import nmea

UNIT = "SD0109"
BOX = "SD0108"
SETUP_TAKEN = "Complete setup received from junction box"
LINK_LOST = "Communication with junction box: lost"


def depth_reported(box, depth: float, since: float, timeout: float = 15.0):
    """Waits for a DPT of the unit with this depth: the unit draws the box's echo images (its depth
    output comes from their display records)."""
    def close(s):
        try:
            return abs(float(s.named()["DepthBlwTransducerMeters"]) - depth) < 0.06
        except (KeyError, ValueError):
            return False
    return box.wait_sentence("DPT", source=UNIT, since=since, timeout=timeout, where=close)


def error_counters(box, timeout: float = 5.0) -> dict:
    """The unit's network error counters (codes 70 to 84), as it reports them to the box."""
    since = time.monotonic()
    box.send_sentences([nmea.build("PZTQVMPCGTER", ["1"])])
    box.wait_for(lambda: len(box.sentences_of("PZTQERRORTABLE", UNIT, since)) >= 2, timeout, "the error table")
    counters = {}
    for heard in box.sentences_of("PZTQERRORTABLE", UNIT, since)[:2]:
        fields = heard.sentence.fields
        half = len(fields) // 2
        counters.update({int(c): int(n or 0) for c, n in zip(fields[:half], fields[half:])})
    return counters


def setup_file(unit, name: str) -> str:
    """Text of one of the unit's settings files ("JB_AlertSetup", "CU_DisplaySetup"); empty while
    the unit has not written it."""
    path = os.path.join(unit.workdir, "Setup_Files", "KVE 420", name + ".txt")
    try:
        with open(path, encoding="latin-1") as f:
            return f.read()
    except FileNotFoundError:
        return ""


def logs_folder(unit) -> str:
    """The folder of the internal logging device of the unit."""
    return os.path.join(unit.workdir, "root", "opt", "velmora", "99999", "Logs")
