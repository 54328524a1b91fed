"""The real unit restarted on settings files written as an older and a newer version of it would
write them: it keeps every value it can read, leaves the files as they are until a value changes,
and then writes them from what it holds."""
import os
import re
import tempfile
import time

from kvepeer import JunctionBox, harness

SETUP_DIR = os.path.join("Setup_Files", "KVE 420")
# A newer version: two properties this one does not know, Windows line end.
NEWER_DISPLAY = ("Type_LocalSetup,SoftwareVersion=NOT_DEFINED,DisplaySerialNumber=4711,Language=0,IP=,MacAddress=,"
                 "SystemName=Wing,LocalSFI=SD0222,PairedSFI=SD0108,Group=3,AlarmSounder=0,ButtonBeep=0,"
                 "NightVision=1,SounderTest=0,CalibrateTouchScreen=0,KeyClickVolume=4\r\n")
# An older version: its last property missing, a tab in a value, a newline at the end.
OLDER_ALERTS = ("Type_Setup,AlarmShallow=33.00,AlarmShallowID=230,AlertDeep=0.00,AlertDeepID=10456,AlertType=1,"
                "EscalationTime=3,AlertSensorCommsID=10457,AlertSensorMutedID=10458,AlertDisplayCommsID=10459,"
                "AlertPowerFailureID=10231,AlarmSFI=VM\t0777\n")
# Cut short in the middle of a name.
CUT_HISTORY = "Type_Setup,Mode=1,LogToDevice=2,LongTermLo"
FILES = {
    "CU_DisplaySetup.txt": NEWER_DISPLAY,
    "JB_AlertSetup.txt": OLDER_ALERTS,
    "JB_HistorySetup.txt": CUT_HISTORY,
    "JB_AUXSetup.txt": "",
    "JB_KX12Setup.txt": "\x00\x01garbage,SystemName=Broken",
}


class FilesOfOtherVersions(harness.UnitTestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory(prefix="kve420-versions-")
        self.addCleanup(folder.cleanup)
        self.workdir = folder.name
        self.setup_dir = os.path.join(self.workdir, SETUP_DIR)
        os.makedirs(self.setup_dir)
        for name, text in FILES.items():
            with open(os.path.join(self.setup_dir, name), "w", encoding="latin-1", newline="") as f:
                f.write(text)

    def read(self, name):
        with open(os.path.join(self.setup_dir, name), encoding="latin-1", newline="") as f:
            return f.read()

    def test_restart_keeps_what_older_and_newer_files_hold(self):
        unit = self.start_unit(workdir=self.workdir)
        unit.wait_line("Watchdog register thread: Main thread", timeout=30)
        self.assertTrue(unit.has_line(r"Unknown property skipped in settings file: NightVision in .*CU_DisplaySetup"))
        self.assertTrue(unit.has_line(r"Unknown property skipped in settings file: KeyClickVolume"))
        self.assertTrue(unit.has_line(r"Settings file read in part \(0 unknown, 1 missing\).*JB_AlertSetup"))
        self.assertTrue(unit.has_line(r"Settings file cut short, read up to LogToDevice: .*JB_HistorySetup"))
        self.assertTrue(unit.has_line(r"Settings file not read, its type tag is unreadable: .*JB_KX12Setup\.txt"))
        self.assertFalse(unit.has_line(r"JB_AUXSetup"))

        # The unit talks as the SFI the newer file gave it, not its default SD0109.
        box = JunctionBox(unit_sfi="SD0222")
        box.setup_on_pair = False   # the box's complete setup would replace what the files gave
        self.start_station(box)
        box.wait_for(lambda: any(h.datagram and h.datagram.source == "SD0222" for h in box.heard), 15,
                     "a datagram of the unit as SD0222")
        self.assertFalse(any(h.datagram and h.datagram.source == "SD0109" for h in box.heard))
        # Nothing is rewritten just for having been read.
        for name, text in FILES.items():
            self.assertEqual(self.read(name), text, name)

        # One value changes: its file is written from what the unit holds, the values of the older
        # file included, the missing one at its default, the tab escaped so that it reads back.
        changed = time.monotonic()
        box.send_single("AlertSetup/AlarmShallowID", 231)
        box.wait_for(lambda: "AlarmShallowID=231" in self.read("JB_AlertSetup.txt"), 10, "the alert file rewritten")
        alerts = self.read("JB_AlertSetup.txt")
        self.assertTrue(alerts.startswith("Type_Setup,AlarmShallow=33.00,AlarmShallowID=231,"), alerts)
        self.assertTrue(alerts.endswith(",AlarmSFI=VM%090777,WarningEscType=0"), alerts)
        self.assertEqual(self.read("CU_DisplaySetup.txt"), NEWER_DISPLAY)
        self.assertFalse(unit.has_line("type tag is unreadable", since=changed))

        # Restarted on what it wrote: the same values, nothing left to report about the alert file.
        restarted = time.monotonic()
        unit.restart()
        unit.wait_line("Watchdog register thread: Main thread", since=restarted, timeout=30)
        self.assertFalse(unit.has_line(r"JB_AlertSetup", since=restarted))
        box.send_single("AlertSetup/AlertDeepID", 10500)
        box.wait_for(lambda: "AlertDeepID=10500" in self.read("JB_AlertSetup.txt"), 10, "the alert file rewritten again")
        self.assertTrue(self.read("JB_AlertSetup.txt").endswith(",AlarmSFI=VM%090777,WarningEscType=0"))
        self.assertIn("AlarmShallow=33.00,AlarmShallowID=231,", self.read("JB_AlertSetup.txt"))
        # The cut file held LogToDevice=2 (the SD card); the unit kept it.
        box.send_single("HistorySetup/Mode", 0)
        box.wait_for(lambda: self.read("JB_HistorySetup.txt").startswith("Type_Setup,Mode=0,LogToDevice=2,"), 10,
                     "the history file rewritten")


if __name__ == "__main__":
    harness.main()
