#!/usr/bin/env python3
"""Records real traffic and files for the fuzz seed corpora: the real kve420 runs against the
independent junction-box peer (tests/peer) in a private network namespace with a stick mounted and
a third-party GPS on the group; everything on the sentence and image groups is heard by a listener,
and the unit's settings, history and raw data state files are taken from its folders afterwards.
The recordings are cut into the input forms of the fuzz targets and written below fuzz/corpus/.

    fuzz/seeds/record_seeds.py [--unit build/src/kve420] [--seconds 25]

Seeds are kept few and small, since CTest replays every one of them on each build; files of a
target that this script did not write (hand-made edge cases, found faults) are left alone.
"""
import argparse
import collections
import os
import re
import struct
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "peer"))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))

from kvepeer import JunctionBox, Listener, harness, nmea  # noqa: E402
from kvepeer.station import BINARY_GROUP, nmea_group  # noqa: E402
import storage  # noqa: E402

CORPUS = os.path.join(ROOT, "fuzz", "corpus")
PREFIX = "rec_"      # recorded seeds; rewritten by each run of this script


def write(target, name, data: bytes):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, PREFIX + name), "wb") as f:
        f.write(data)


def clear_recorded():
    for target in os.listdir(CORPUS):
        folder = os.path.join(CORPUS, target)
        for name in os.listdir(folder):
            if name.startswith(PREFIX):
                os.remove(os.path.join(folder, name))


def record(unit_path, seconds):
    unit = harness.Unit(unit_path)
    listener = Listener(group=3)
    listener.groups.append(BINARY_GROUP)
    box = JunctionBox(depth=(12.5, 48.0), ping_rate=5)
    box.record_kinds = ["display", "raw", "filtered"]
    box.samples_per_ping = 1500   # two datagrams an image, so that joining is seeded too
    gps = Listener(group=3, sfi="GP0001")
    listener.start()
    unit.start()
    try:
        unit.wait_line("Watchdog register thread: Main thread", timeout=60)
        storage.mount(unit, "usb")
        box.start()
        gps.start()
        unit.wait_line("Complete setup received from junction box", timeout=30)
        gps.every(lambda: 1.0, lambda: gps.send_sentences([
            nmea.build("GPGGA", "040506.00,5957.1234,N,01043.5678,E,1,08,0.9,12.3,M,40.1,M,,".split(",")),
            nmea.build("GPVTG", "054.7,T,034.4,M,005.5,N,010.2,K,A".split(",")),
            nmea.build("GPZDA", "040506.00,07,12,2026,00,00".split(",")),
        ]))
        box.send_single("AlertSetup/AlarmShallow", 5, timestamp=True)
        box.send_single("HistorySetup/RawDataLogging", 0)
        box.set_alert("AlarmShallow", 0)
        time.sleep(seconds)
    finally:
        for s in (gps, box):
            s.stop()
        unit.stop()
        listener.stop()
    return unit, listener


def sentence_seeds(listener):
    """fuzz_datagram (datagrams joined by "~", first byte 0: each carries its own header) and
    fuzz_nmea_receive (first byte the port, then the sentence lines): one of each kind heard."""
    kinds = collections.OrderedDict()
    for h in listener.heard:
        if h.group == BINARY_GROUP or h.datagram is None or not h.datagram.entries:
            continue
        first = h.datagram.entries[0]
        tag = re.sub(r"[0-9-]+$", "", first.tags.get("t", ""))   # acknowledgements carry a message tag
        kind = (h.datagram.source, first.sentence[1:first.sentence.find(",")], tag,
                len(h.datagram.entries) > 1)
        kinds.setdefault(kind, []).append(h)
    n = 0
    for kind, heard in kinds.items():
        if n >= 24:
            break
        n += 1
        source, formatter, tag, several = kind
        name = "%s_%s%s%s" % (source, formatter, "_" + tag if tag else "", "_group" if several else "")
        name = "".join(c if c.isalnum() or c in "_-" else "_" for c in name)
        datagrams = [h.raw for h in heard[:3] if b"~" not in h.raw]
        if datagrams:
            write("fuzz_datagram", name, b"\x00" + b"~".join(datagrams))
        lines = "".join(heard[0].datagram.sentences)
        write("fuzz_nmea_receive", name, bytes([3]) + lines.encode("latin-1"))
    print("sentence kinds:", n)


def image_seeds(listener):
    """fuzz_image_reassembly: whole images of each record kind and channel as raw datagrams
    (command 1, length, bytes), with ticks between some of them."""
    images = collections.OrderedDict()
    for h in listener.heard:
        if h.group != BINARY_GROUP or len(h.raw) < 38:
            continue
        block, seq, count = struct.unpack_from(">III", h.raw, 24)
        images.setdefault((h.raw[37], block), []).append(h.raw)
    by_kind = collections.OrderedDict()
    for (channel, block), parts in images.items():
        first = parts[0]
        info = first[38 + 15 + first[50]:] if len(first) > 60 else b""
        kind = (first[37], info[9:12] if len(info) >= 12 else b"")
        by_kind.setdefault(kind, []).append(parts)

    def commands(parts_list, view, tick_every=0):
        out = bytearray([view])
        for i, parts in enumerate(parts_list):
            for d in parts:
                out += bytes([1]) + struct.pack(">H", len(d)) + d
            if tick_every and (i + 1) % tick_every == 0:
                out.append(0)
        return bytes(out)

    n = 0
    for (channel, kind), parts_list in by_kind.items():
        name = "ch%d_%s" % (channel, (kind or b"none").decode("latin-1"))
        write("fuzz_image_reassembly", name, commands(parts_list[:1], view=2))
        write("fuzz_image_reassembly", name + "_x3", commands(parts_list[:3], view=13, tick_every=2))
        n += 2
    # Both channels interleaved, as they arrive, across a few ticks.
    mixed = [parts for parts in images.values()][:6]
    write("fuzz_image_reassembly", "mixed_stream", commands(mixed, view=6, tick_every=2))
    # The two datagrams of an image swapped, and one lost.
    display = next((p for (c, k), l in by_kind.items() if k == b"Dsp" for p in l if len(p) > 1), None)
    if display:
        write("fuzz_image_reassembly", "swapped", commands([list(reversed(display))], view=1))
        write("fuzz_image_reassembly", "lost_first", commands([display[1:]], view=1, tick_every=1) + b"\x00" * 5)
    print("image blocks:", len(images), "kinds:", list(by_kind))


def settings_seeds(listener):
    """fuzz_settings: the settings texts the box and the unit exchanged, one of each form."""
    seen = set()
    for t in listener.texts:
        head = t.text.split(",")[0] + ("_single" if ",SingleProperty," in t.text[:40] else "")
        key = (t.source, head)
        if key in seen:
            continue
        seen.add(key)
        write("fuzz_settings", "%s_%s" % (t.source, head), t.text.encode("utf-8"))
    print("settings texts:", sorted(seen))


def file_seeds(unit):
    """Files the unit wrote: settings files (the file name on the first line), history files and the
    raw data state file."""
    setup = os.path.join(unit.workdir, "Setup_Files", "KVE 420")
    names = sorted(os.listdir(setup))
    for i, name in enumerate(names):
        with open(os.path.join(setup, name), "rb") as f:
            content = f.read()
        if i % 3 == 0 or "Alert" in name or "History" in name or name.startswith("CU_"):
            write("fuzz_settings_file", name.replace(".txt", ""), name.encode() + b"\n" + content)
    print("settings files:", len(names))

    history = os.path.join(unit.workdir, "History")
    for name in sorted(os.listdir(history)) if os.path.isdir(history) else []:
        path = os.path.join(history, name)
        if not os.path.isfile(path):
            continue
        with open(path, "rb") as f:
            content = f.read()
        channel = 1 if "Ch2" in name else 0
        short = 2 if name.endswith("_short") else 0
        write("fuzz_history_file", name + "_fetched", bytes([channel | short]) + content)
        if not short:
            write("fuzz_history_file", name + "_own", bytes([channel | 4]) + content)
    print("history files:", os.listdir(history) if os.path.isdir(history) else None)

    raw = storage.path(unit, "/media/usb0")
    for base, _, files in os.walk(raw):
        if "info" in files:
            with open(os.path.join(base, "info"), "rb") as f:
                state = f.read()
            records = bytes([0, 20, 50, 1, 30, 60, 2, 40, 70, 3, 10, 80])
            write("fuzz_rawdata_info", "stick_info", bytes([len(state)]) + state + bytes([1]) + records)
            write("fuzz_rawdata_info", "stick_info_two_files", bytes([len(state)]) + state + bytes([2]) + records * 2)
            print("raw data state:", state.hex())


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--unit", default=None)
    parser.add_argument("--seconds", type=float, default=25)
    args = parser.parse_args()
    harness.ensure_private_network()
    unit, listener = record(args.unit, args.seconds)
    try:
        clear_recorded()
        sentence_seeds(listener)
        image_seeds(listener)
        settings_seeds(listener)
        file_seeds(unit)
    finally:
        unit.cleanup()


if __name__ == "__main__":
    main()
