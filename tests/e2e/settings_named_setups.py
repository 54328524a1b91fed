"""Named setups of the running unit on a USB stick: saved, listed and restored on the requests the
junction box passes on from its operator, with the names kept to the stick's setup folder."""
import os
import time

import storage
from kvepeer import JunctionBox, harness

SETUP_TAKEN = "Complete setup received from junction box"
OPTIONS = "SetupSetup/OptionsSetup/"


class NamedSetups(harness.UnitTestCase):
    def saved(self, unit, name=""):
        return os.path.join(storage.path(unit, "/media/usb0/Saved_Setup_Files"), name)

    def test_save_list_and_restore_on_a_mounted_stick(self):
        box = self.start_station(JunctionBox())
        unit = self.start_unit()
        unit.wait_line(SETUP_TAKEN, timeout=15)
        box.send_single("HistorySetup/LogToDevice", 1)       # logs and setups on the USB stick

        # No stick yet: nothing is saved, the request goes back to idle, the list is empty.
        t = time.monotonic()
        box.send_single(OPTIONS + "SetupSave", "Harbour")
        unit.wait_line("Named setup Harbour: no storage device present", since=t, timeout=10)
        box.wait_for(lambda: box.setup.get(OPTIONS + "SetupSave") == "_", 10, "SetupSave back to idle")
        box.send_single(OPTIONS + "RequestAvailableSetupsList", 1)
        box.wait_for(lambda: box.setup.get(OPTIONS + "AvailableSetupsList") == "?", 10, "an empty list")
        self.assertEqual(str(box.setup.get(OPTIONS + "RequestAvailableSetupsList")), "0")

        storage.mount(unit, "usb")
        unit.wait_line("Named setups: device 1 present", timeout=10)
        box.send_single("AlertSetup/AlarmShallow", 25)
        box.send_single(OPTIONS + "SetupSave", "Harbour")
        box.wait_for(lambda: len(storage.files_below(self.saved(unit, "Harbour"))) == 33, 10, "33 files saved")
        with open(os.path.join(self.saved(unit, "Harbour"), "JB_AlertSetup.txt")) as f:
            self.assertTrue(f.read().startswith("Type_Setup,AlarmShallow=25.00,"))
        box.send_single(OPTIONS + "SetupSave", "Open_Sea")
        box.wait_for(lambda: len(storage.files_below(self.saved(unit, "Open_Sea"))) == 33, 10, "the second setup")
        box.send_single(OPTIONS + "RequestAvailableSetupsList", 1)
        box.wait_for(lambda: box.setup.get(OPTIONS + "AvailableSetupsList") == "Harbour?Open_Sea", 10, "the list")

        # Names that are not a plain folder name never write anywhere.
        for name in ("../../x", "..", "a/b"):
            box.send_single(OPTIONS + "SetupSave", name)
            unit.wait_line("Setup name refused: " + name.replace(".", r"\."), timeout=10)
        self.assertEqual(sorted(os.listdir(storage.root(unit))), ["etc", "media", "opt"])
        self.assertEqual(sorted(os.listdir(self.saved(unit))), ["Harbour", "Open_Sea"])

        # Restored: the saved values replace what the box has since set with its timestamps, and the
        # box is sent the whole restored setup. The communication settings stay this unit's own.
        box.send_single("AlertSetup/AlarmShallow", 80, timestamp=True)
        box.send_single("CommunicationsSetup/NmeaPort2Setup/Baud", 2, timestamp=True)
        box.wait_for(lambda: "AlarmShallow=80" in self.unit_file(unit, "JB_AlertSetup"), 10, "the stamped change")
        restored = time.monotonic()
        box.send_single(OPTIONS + "SetupRestore", "Harbour")
        box.wait_for(lambda: float(box.setup.get("AlertSetup/AlarmShallow")) == 25.0, 10, "the restored setup at the box")
        box.wait_for(lambda: "AlarmShallow=25.00," in self.unit_file(unit, "JB_AlertSetup"), 10, "the restored file")
        self.assertEqual(str(box.setup.get("CommunicationsSetup/NmeaPort2Setup/Baud")), "2")
        self.assertEqual(box.setup.get(OPTIONS + "SetupRestore"), "_")
        box.wait_text("Type_Setup,SerializableClass1=AlertSetup,AlarmShallow=25.00", source="SD0109", since=restored)

        # Pulled out: nothing more to save to.
        storage.pull(unit, "usb")
        unit.wait_line("Named setups: device 1 gone", timeout=10)
        box.send_single(OPTIONS + "SetupSave", "Gone")
        unit.wait_line("Named setup Gone: no storage device present", timeout=10)
        self.assertEqual(storage.files_below(storage.path(unit, "/media/usb0")), [])

    @staticmethod
    def unit_file(unit, name):
        with open(os.path.join(unit.workdir, "Setup_Files", "KVE 420", name + ".txt"), encoding="latin-1") as f:
            return f.read()


if __name__ == "__main__":
    harness.main()
