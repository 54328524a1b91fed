#!/usr/bin/env python3
"""Screenshots of the running control unit under a virtual display (Xvfb), worked by touch.

usage: scripts/screenshot.py [--sim] [--sim-arg ARG]... [--size 1600x900] STEP... [-- KVE420-ARGUMENTS]

Steps, done in order:
  wait=S              wait S seconds
  quick=TEXT          touch the button labelled TEXT in the quick control bar (a regular expression)
  touch=TEXT          touch the text or button TEXT on the screen beside the bar
  tap=X,Y             touch a point
  shot=FILE[@L,T,R,B] save the screen, or the region with those corners, as a PNG file

With --sim the junction-box simulator runs beside the unit (its files in run/shot/junction-box).
Both run in a private network namespace of their own, so the simulator's multicast stays inside
it; the unit's files are in run/shot/unit.
"""
import argparse
import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from screen import VirtualScreen  # noqa: E402

NETNS_SETUP = "ip link set lo up; ip link set lo multicast on; ip route add 224.0.0.0/4 dev lo"


def private_network():
    """Re-runs this script in a network namespace of its own with loopback multicast."""
    if os.environ.get("KVE_SHOT_NETNS"):
        return
    os.environ["KVE_SHOT_NETNS"] = "1"
    os.execvp("unshare", ["unshare", "--net", "sh", "-c", NETNS_SETUP + '; exec "$0" "$@"',
                          sys.executable] + sys.argv)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--sim", action="store_true")
    parser.add_argument("--sim-arg", action="append", default=[])
    parser.add_argument("--size", default="1600x900")
    parser.add_argument("steps", nargs="*")
    argv = sys.argv[1:]
    unit_args = argv[argv.index("--") + 1:] if "--" in argv else []
    args = parser.parse_args(argv[:argv.index("--")] if "--" in argv else argv)
    private_network()

    build = os.path.abspath(os.environ.get("KVE_BUILD", os.path.join(ROOT, "build")))
    run = os.path.join(ROOT, "run", "shot")
    width, height = (int(v) for v in args.size.split("x"))
    screen = VirtualScreen(width, height).start()
    children = []
    try:
        if args.sim:
            box_dir = os.path.join(run, "junction-box")
            os.makedirs(box_dir, exist_ok=True)
            children.append(subprocess.Popen(
                [os.path.join(build, "tools", "jbsim", "kve-jb-sim"), "--interface", "lo", "--data-dir", box_dir]
                + args.sim_arg, cwd=box_dir, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        unit_dir = os.path.join(run, "unit")
        os.makedirs(unit_dir, exist_ok=True)
        env = dict(os.environ, KVE_ROOT=os.path.join(unit_dir, "root"), **screen.env())
        os.makedirs(env["KVE_ROOT"], exist_ok=True)
        children.append(subprocess.Popen(
            [os.path.join(build, "src", "kve420"), "spec-net-interface", "lo", "maximize-window", "frameless-window"]
            + unit_args, cwd=unit_dir, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        bar = (width - 270, 40, width - 1, height - 140)
        middle = (0, 40, width - 270, height - 140)
        for step in args.steps:
            kind, _, value = step.partition("=")
            if kind == "wait":
                time.sleep(float(value))
            elif kind == "quick":
                screen.touch(value, bar)
                time.sleep(1)
            elif kind == "touch":
                screen.touch(value, middle)
                time.sleep(1)
            elif kind == "tap":
                screen.tap(*(int(v) for v in value.split(",")))
                time.sleep(1)
            elif kind == "shot":
                path, _, region = value.partition("@")
                shot = screen.shot()
                box = [int(v) for v in region.split(",")] if region else [0, 0, width - 1, height - 1]
                subprocess.run(["convert", "ppm:-", os.path.abspath(path)], input=shot.crop_ppm(*box), check=True)
                print("wrote", path)
            else:
                sys.exit("unknown step %r" % step)
    finally:
        for child in reversed(children):
            child.terminate()
            try:
                child.wait(10)
            except subprocess.TimeoutExpired:
                child.kill()
        screen.stop()


if __name__ == "__main__":
    if not shutil.which("Xvfb"):
        sys.exit("Xvfb is missing (scripts/install-deps.sh installs it)")
    main()
