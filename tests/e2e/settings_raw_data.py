"""Raw echo data of the running unit goes to a removable device only: nothing without one, records
on the stick as soon as it is mounted, a clean stop when it is pulled, and "RawDataLogging" obeyed.
Every long-lived thread of the unit is watched by its watchdog."""
import os
import struct
import time

import storage
from kvepeer import JunctionBox, harness

SETUP_TAKEN = "Complete setup received from junction box"
RAW = "/media/usb0/velmora/99999/Logs/Raw_Echo_Data"
HEADER = 30
SAMPLES = 500


def raw_files(unit):
    return [f for f in storage.files_below(storage.path(unit, RAW)) if f.endswith(".bin")]


def size(unit, name):
    return os.path.getsize(os.path.join(storage.path(unit, RAW), name))


class RawData(harness.UnitTestCase):
    def test_raw_records_only_on_a_mounted_stick(self):
        box = JunctionBox(depth=(12.5, 40.0), ping_rate=10)
        box.record_kinds = ["display", "raw"]
        self.start_station(box)
        unit = self.start_unit()
        unit.wait_line(SETUP_TAKEN, timeout=15)
        # Logs are kept inside the unit (the default): raw data still waits for a removable device.
        self.assertEqual(str(box.setup.get("HistorySetup/LogToDevice")), "0")
        box.wait_for(lambda: box.sent_count > 100, 15, "images sent")
        time.sleep(3)   # some 60 raw records more arrive meanwhile
        self.assertFalse(any("Raw_Echo_Data" in f for f in storage.files_below(storage.root(unit))),
                         storage.files_below(storage.root(unit)))

        storage.mount(unit, "usb")
        box.wait_for(lambda: len(raw_files(unit)) == 2 and all(size(unit, f) > 10 * (HEADER + SAMPLES) for f in raw_files(unit)),
                     15, "records of both channels on the stick")
        ch1, ch2 = raw_files(unit)
        self.assertRegex(ch1, r"^EchoData_ch1_n1_utc\d{4}_[A-Z][a-z]{2}_\d\d-\d\d_\d\d_\d\d\.bin$")
        self.assertTrue(ch2.startswith("EchoData_ch2_n1_utc"))
        with open(os.path.join(storage.path(unit, RAW), ch1), "rb") as f:
            record = f.read(HEADER + SAMPLES)
        # Little-endian header: 28 bytes follow, the depth of channel 1 in decimetres.
        self.assertEqual(struct.unpack_from("<H", record, 0)[0], 28)
        self.assertEqual(struct.unpack_from("<h", record, 6)[0], 125)
        self.assertEqual(struct.unpack_from("<IIII", record, 14), (4, 5, 5, 5))
        for f in raw_files(unit):
            self.assertEqual(size(unit, f) % (HEADER + SAMPLES), 0, f)

        # "Stop": the files stop growing; "Loop" again: they grow again.
        box.send_single("HistorySetup/RawDataLogging", 1)
        time.sleep(1)
        stopped = {f: size(unit, f) for f in raw_files(unit)}
        time.sleep(2)
        self.assertEqual({f: size(unit, f) for f in raw_files(unit)}, stopped)
        box.send_single("HistorySetup/RawDataLogging", 0)
        box.wait_for(lambda: sum(size(unit, f) for f in raw_files(unit)) > sum(stopped.values()), 10, "logging again")

        # Pulled: the unit stops cleanly, keeps running, and writes nothing where the stick was.
        pulled = time.monotonic()
        storage.pull(unit, "usb")
        unit.wait_line("logging posssible: false", since=pulled, timeout=10)
        time.sleep(3)
        self.assertEqual(storage.files_below(storage.path(unit, "/media/usb0")), [])
        self.assertFalse(any("Raw_Echo_Data" in f for f in storage.files_below(storage.root(unit))))
        self.assertIsNone(unit.proc.poll())
        # Back in: a new pair of files.
        storage.mount(unit, "usb")
        box.wait_for(lambda: len(raw_files(unit)) == 2 and all("_n" in f for f in raw_files(unit)), 15, "new files")

    def test_every_long_lived_thread_is_watched(self):
        unit = self.start_unit()
        for thread in ("Main thread", "Raw data logging thread", "Storage device thread",
                       "Communication logging thread", "Echogram rendering thread ch1",
                       "Echogram rendering thread ch2"):
            unit.wait_line("Watchdog register thread: " + thread + "$", timeout=30)


if __name__ == "__main__":
    harness.main()
