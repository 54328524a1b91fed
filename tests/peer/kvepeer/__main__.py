"""Command line: run the junction-box peer, or listen on a sentence group as a third-party client."""
import argparse
import sys
import time

from . import BLOCK_ID_MODES, JunctionBox, Listener, harness


def _options():
    p = argparse.ArgumentParser(prog="python3 -m kvepeer", description=__doc__)
    sub = p.add_subparsers(dest="command", required=True)
    common = argparse.ArgumentParser(add_help=False)
    common.add_argument("--group", type=int, default=3, help="sentence group 0-7 (default 3: 239.192.0.4:60004)")
    common.add_argument("--duration", type=float, help="seconds to run (default: until interrupted)")
    common.add_argument("--unit", metavar="PATH", nargs="?", const="",
                        help="also start kve420 (PATH, $KVE420 or build/src/kve420) in the same namespace")
    common.add_argument("--verbose", action="store_true", help="print the unit's debug lines too")
    run = sub.add_parser("run", parents=[common], help="run the junction box")
    run.add_argument("--sfi", default="SD0108", help="the box's SFI (the unit's PairedSFI)")
    run.add_argument("--unit-sfi", default="SD0109", help="the unit's LocalSFI")
    run.add_argument("--ping-rate", type=float, default=5.0, help="images per second and channel (0: none)")
    run.add_argument("--depth", default="12.5,48", help="depth per channel in metres; 'none' for no bottom")
    run.add_argument("--records", default="display", help="record kinds per ping: display,raw,filtered")
    run.add_argument("--block-ids", default="per-channel", help="|".join(BLOCK_ID_MODES) + " or a number")
    run.add_argument("--software-version", default="NOT_DEFINED")
    run.add_argument("--start-delay", type=float, default=0.0, help="seconds before the box starts")
    run.add_argument("--silent-after", type=float, help="fall silent after these seconds ...")
    run.add_argument("--silent-for", type=float, default=15.0, help="... for these seconds")
    run.add_argument("--restart-after", type=float, help="restart the box after these seconds")
    run.add_argument("--no-sfiack", action="store_true", help="never answer PAIR")
    run.add_argument("--no-acks", action="store_true", help="never acknowledge the unit's settings")
    run.add_argument("--no-resend", action="store_true", help="never resend unacknowledged settings")
    sub.add_parser("listen", parents=[common], help="print the sentences and texts heard on the group")
    return p


def _depths(text):
    return [None if d.strip().lower() == "none" else float(d) for d in (text.split(",") * 2)[:2]]


def _report(station, seen):
    """Prints what was heard since the last call."""
    with station.cond:
        new_s, new_t = station.sentences[seen[0]:], station.texts[seen[1]:]
        seen[0], seen[1] = len(station.sentences), len(station.texts)
    for h in new_s:
        named = ", ".join("%s=%s" % kv for kv in h.sentence.named().items())
        print("%s %s %s  [%s]" % (h.source, h.sentence.text, h.text_tag, named), flush=True)
    for t in new_t:
        print("%s %s text: %s" % (t.source, t.text_tag, t.text), flush=True)


def main(argv=None):
    args = _options().parse_args(argv)
    harness.ensure_private_network()
    unit = harness.Unit(args.unit or None) if args.unit is not None else None
    if unit:
        unit.start()
        print("kvepeer: unit started in", unit.workdir, flush=True)
    if args.command == "run":
        time.sleep(args.start_delay)
        block_ids = int(args.block_ids) if args.block_ids.isdigit() else args.block_ids
        station = JunctionBox(args.sfi, args.unit_sfi, args.group, args.software_version, args.ping_rate,
                              _depths(args.depth), block_ids)
        station.answer_pair, station.ack_setup = not args.no_sfiack, not args.no_acks
        station.resend = not args.no_resend
        station.record_kinds = args.records.split(",")
        if args.silent_after is not None:
            station.call_later(args.silent_after, lambda: station.fall_silent(args.silent_for))
        if args.restart_after is not None:
            station.call_later(args.restart_after, station.restart)
    else:
        station = Listener(args.group)
    station.start()
    seen, lines, end = [0, 0], 0, time.monotonic() + (args.duration or float("inf"))
    try:
        while time.monotonic() < end:
            time.sleep(0.5)
            _report(station, seen)
            if unit and args.verbose:
                for _, line in unit.lines[lines:]:
                    print("unit:", line, flush=True)
                lines = len(unit.lines)
    except KeyboardInterrupt:
        pass
    finally:
        station.stop()
        if unit:
            unit.cleanup()
    if args.command == "run":
        print("kvepeer: setup datagrams sent %d, acknowledged %d, given up %d, resent %d; acks sent %d"
              % (station.setup_sent, station.setup_acked, station.setup_lost, station.resent, station.acks_sent))
    return 0


if __name__ == "__main__":
    sys.exit(main())
