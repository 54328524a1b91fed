"""A removable device for the running unit: its mount table and media folders live below the unit's
KVE_ROOT, so a test mounts and pulls a "stick" by editing them."""
import os
import shutil

MOUNT_POINTS = {"usb": "/media/usb0", "sd": "/media/sd0"}


def root(unit) -> str:
    return unit.env["KVE_ROOT"]


def path(unit, absolute: str) -> str:
    return os.path.join(root(unit), absolute.lstrip("/"))


def _write_table(unit, mounted):
    table = "proc /proc proc rw,nosuid 0 0\n/dev/root / ext4 rw 0 0\n"
    for i, point in enumerate(sorted(mounted)):
        table += "/dev/sd%s1 %s vfat rw,relatime 0 0\n" % ("bcd"[i], point)
    os.makedirs(path(unit, "/etc"), exist_ok=True)
    with open(path(unit, "/etc/mtab.new"), "w") as f:
        f.write(table)
    os.replace(path(unit, "/etc/mtab.new"), path(unit, "/etc/mtab"))


def mounted(unit) -> set:
    try:
        with open(path(unit, "/etc/mtab")) as f:
            return {line.split()[1] for line in f if len(line.split()) > 1 and line.split()[1].startswith("/media/")}
    except FileNotFoundError:
        return set()


def mount(unit, device: str = "usb"):
    """Plugs a device in: its folder appears and the mount table lists it."""
    point = MOUNT_POINTS[device]
    os.makedirs(path(unit, point), exist_ok=True)
    _write_table(unit, mounted(unit) | {point})


def pull(unit, device: str = "usb"):
    """Pulls a device out: gone from the mount table, its folder empty as an unused mount point is."""
    point = MOUNT_POINTS[device]
    _write_table(unit, mounted(unit) - {point})
    shutil.rmtree(path(unit, point), ignore_errors=True)
    os.makedirs(path(unit, point), exist_ok=True)


def files_below(folder: str) -> list:
    """Every file below a folder, as paths relative to it, sorted."""
    found = []
    for base, _, names in os.walk(folder):
        found += [os.path.relpath(os.path.join(base, n), folder) for n in names]
    return sorted(found)
