"""The unit's lines end to end: the real kve420 with serial lines on pseudo-terminals (socat) and the
independent junction-box peer on the network. What the unit receives reaches its handlers, its clock
and its communication logs; what it sends carries the depth of the peer's echo images."""
import os
import re
import shutil
import tempfile
import time

from kvepeer import JunctionBox, Listener, Station, harness, nmea
from serialpty import PtyPair

UNIT = "SD0109"
LINK_UP = "Complete setup received from junction box"
SETUP_DIR = os.path.join("Setup_Files", "KVE 420")
ON, OFF = 0, 1

# Sentences of other equipment that the unit has no use for: relayed, never a fault.
FOREIGN = [nmea.build("HEHDG", ["101.5", "", "", "7.1", "W"]),
           nmea.build("GPGBS", ["015509.00", "-0.031", "-0.186", "0.219", "19", "0.000", "-0.354", "6.972"]),
           nmea.build("PGRMZ", ["2282", "f", "3"])]
# What the unit sends for the first channel of the default box: depth, draft of its transducer, range.
DEPTH_DPT = nmea.build("SDDPT", ["12.5", "2.0", "20"])
# A position with every digit a receiver can give: longer than 82 characters.
LONG_GGA = nmea.build("GPGGA", ["083001.000", "4807.0380000", "N", "01131.0000000", "E", "4", "12", "0.9",
                                "545.4321", "M", "46.9", "M", "1.2", "0000"])


class LinesTestCase(harness.UnitTestCase):
    """Helpers: a working folder with settings files in place before the unit starts, serial lines,
    the communication log folders."""

    def workdir(self, files: dict = None) -> str:
        folder = tempfile.mkdtemp(prefix="kve420-lines-")
        self.addCleanup(shutil.rmtree, folder, True)
        os.makedirs(os.path.join(folder, SETUP_DIR))
        for name, text in (files or {}).items():
            self.write_setting_file(folder, name, text)
        return folder

    @staticmethod
    def write_setting_file(folder: str, name: str, text: str):
        with open(os.path.join(folder, SETUP_DIR, name), "w", encoding="utf-8") as f:
            f.write(text)

    @staticmethod
    def read_setting_file(folder: str, name: str) -> str:
        try:
            with open(os.path.join(folder, SETUP_DIR, name), encoding="utf-8") as f:
                return f.read()
        except OSError:
            return ""

    def line(self, name: str = "line") -> PtyPair:
        pair = PtyPair(name)
        self.addCleanup(pair.close)
        return pair

    @staticmethod
    def logs(unit, *parts, device=("opt", "velmora")) -> str:
        return os.path.join(unit.workdir, "root", *device, "99999", "Logs", "Communication_Logs", *parts)

    def wait_for(self, predicate, timeout: float, what: str):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            result = predicate()
            if result:
                return result
            time.sleep(0.1)
        self.fail("timed out after %.0f s waiting for %s" % (timeout, what))

    @staticmethod
    def file_lines(path: str) -> list:
        try:
            with open(path, encoding="latin-1") as f:
                return f.read().splitlines()
        except OSError:
            return []

    def record_of(self, path: str, sentence: str, timeout: float = 20.0) -> str:
        """The log line of a sentence, once it has been written: "<UTC time> (UTC) >> <sentence><<"."""
        text = sentence.rstrip("\r\n")
        return self.wait_for(lambda: next((l for l in self.file_lines(path) if l.endswith(" >> " + text + "<<")),
                                          None), timeout, "%s in %s" % (text, path))


class SerialLine(LinesTestCase):
    def test_sentences_in_and_depth_out_every_second(self):
        line = self.line()
        box = JunctionBox(depth=(12.5, 48.0))
        for sentence in ("DBT", "PZTQDPT"):
            box.setup.set("CommunicationsSetup/NmeaPort1Setup/" + sentence, ON)
        unit = self.start_unit("serial-1", line.unit_path, workdir=self.workdir(
            {"JB_NmeaPort1Setup.txt": "Type_Setup,DBT=0,PZTQDPT=0"}))
        unit.wait_line("Opened port for reading: " + re.escape(line.unit_path), timeout=30)
        self.start_station(box)
        unit.wait_line(LINK_UP, timeout=20)

        # Out: the depth of the box's first channel, its transducer's draft and the range, every second.
        first = line.wait_line(lambda l: l.startswith("$SDDPT,12.5,"), timeout=20, what="DPT with the images' depth")
        dpt = nmea.parse(first)
        self.assertTrue(dpt.checksum_ok, first)
        self.assertEqual(dpt.named(), {"DepthBlwTransducerMeters": "12.5", "OffsetFromTransducerMeters": "2.0",
                                       "MaximumRangeScale": "20"})
        since = time.monotonic()
        time.sleep(6.0)
        count = sum(1 for _, l in line.lines_since(since) if l.startswith("$SDDPT,"))
        self.assertIn(count, range(5, 8), "DPT sentences in 6 s")
        dbt = nmea.parse(line.wait_line(lambda l: l.startswith("$SDDBT,"), what="DBT"))
        self.assertEqual(dbt.named(), {"DepthBlwTransducerFeet": "41.0", "Feet": "f", "DepthBlwTransducerMeters": "12.5",
                                       "Meters": "M", "DepthBlwTransducerFathoms": "6.8", "Fathoms": "F"})
        # The proprietary depth carries the same depth, with the frequency and place of the transducer.
        own = nmea.parse(line.wait_line(lambda l: l.startswith("$PZTQDPT,"), what="PZTQDPT"))
        self.assertEqual(own.named(), {"DepthBlwTransducerMeters": "12.5", "OffsetFromTransducerMeters": "2.0",
                                       "MaximumRangeScale": "20.0", "BottomEchoStrength": "",
                                       "TransducerFrequency": "50", "TransducerPosition": "Fwd"})
        # Each goes alone in its own write; nothing but sentences of the unit's own talker comes out.
        for _, l in line.lines_since(since):
            self.assertRegex(l, r"^\$(SD|PZTQ)[A-Z]+,[^$]*\*[0-9A-F]{2}\r\n$")

        # In: the time sets the unit's clock, which stamps every later log record; a long position
        # arrives whole; sentences of other equipment are logged as input and are no fault.
        sentences = [nmea.build("GPZDA", ["083000.00", "17", "05", "2031", "00", "00"]), LONG_GGA,
                     nmea.build("HEHDT", ["123.4", "T"]), nmea.build("IIDPT", ["8.2", "0.5", "100"])] + FOREIGN
        self.assertGreater(len(LONG_GGA), 82)
        for s in sentences:
            if s is LONG_GGA:
                # As a slow line delivers it: its name split between two reads, then more than
                # 82 characters without the line end.
                for piece in (s[:4], s[4:-1], s[-1:]):
                    line.write(piece)
                    time.sleep(0.2)
            else:
                line.write(s)
        inputs = self.logs(unit, "Input_Messages", "NMEA_1.txt")
        for s in sentences:
            self.assertRegex(self.record_of(inputs, s), r"^17-May-2031_08:3\d:\d\d \(UTC\) >> ")
        self.assertFalse(os.path.exists(self.logs(unit, "Input_Errors", "NMEA_1.txt")))
        # The bridge's dimming system commands night lighting at 30 %; a mere report changes nothing.
        command, report = nmea.build("IIDDC", ["N", "30", "N", "C"]), nmea.build("IIDDC", ["D", "80", "D", "R"])
        line.write(command)
        dimming = lambda: self.read_setting_file(unit.workdir, "CU_DimmingSetup.txt")
        self.wait_for(lambda: "ColorPaletteEnum=2" in dimming(), 20, "night lighting in the unit's dimming setup")
        line.write(report)
        self.record_of(inputs, report)
        time.sleep(1.5)
        for value in ("DimmingPreset=N", "ColorPalette=N", "ColorPaletteEnum=2", "DimmingPresetEnum=2",
                      "BrightnessPercentage=30"):
            self.assertIn(value, dimming())
        # And the sentences the unit sent are in its output log.
        outputs = self.file_lines(self.logs(unit, "Output_Messages", "NMEA_1.txt"))
        self.assertTrue(any(l.endswith(" >> " + first.rstrip("\r\n") + "<<") for l in outputs))

    def test_loop_test_passes_through_a_loop_and_fails_with_it_open(self):
        # The request stands in the unit's own settings when it starts, as after a restart during a test.
        line = self.line()
        line.loop_back(True)
        folder = self.workdir({"CU_OtherLocalSettings.txt": "Type_LocalSetup,NMEALoopTest=1"})
        unit = self.start_unit("serial-1", line.unit_path, workdir=folder)
        results = lambda: self.read_setting_file(folder, "CU_OtherLocalSettings.txt")
        self.wait_for(lambda: "NMEALoopTest=0" in results(), 30, "the loop test to end")
        # The own line came back intact; the second and third lines have no device.
        self.assertIn("NmeaPort1Status=1,NmeaPort2Status=2,NmeaPort3Status=2", results())
        looped = [l for _, l in line.lines]
        self.assertGreaterEqual(looped.count("$PZTQTEST,0,1,2,3,4,5,6,7,8,9\r\n"), 19)

        unit.stop()
        line.loop_back(False)
        self.write_setting_file(folder, "CU_OtherLocalSettings.txt", "Type_LocalSetup,NMEALoopTest=1")
        unit.start()
        self.wait_for(lambda: "NMEALoopTest=0" in results(), 30, "the second loop test to end")
        self.assertIn("NmeaPort1Status=2,NmeaPort2Status=2,NmeaPort3Status=2", results())

    def test_line_that_vanishes_is_opened_again(self):
        devices = tempfile.mkdtemp(prefix="kve-dev-")
        self.addCleanup(shutil.rmtree, devices, True)
        device = os.path.join(devices, "ttyUSB0")
        line = PtyPair(unit_path=device)
        unit = self.start_unit("serial-2", device)
        unit.wait_line("Opened port for reading: " + re.escape(device), timeout=30)
        line.wait_line(lambda l: l.startswith("$SDDPT,"), timeout=10, what="DPT on the line")
        # The adapter is pulled: the unit logs it, keeps running and tries again.
        line.close()
        unit.wait_line("Lost port: " + re.escape(device), timeout=10)
        time.sleep(3)
        self.assertIsNone(unit.proc.poll())
        # Plugged in again under the same name: the line works again.
        since = time.monotonic()
        again = PtyPair(unit_path=device)
        self.addCleanup(again.close)
        unit.wait_line("Opened port for reading: " + re.escape(device), timeout=10, since=since)
        again.wait_line(lambda l: l.startswith("$SDDPT,"), timeout=10, what="DPT on the line opened again")

class NetworkLine(LinesTestCase):
    def test_listener_decodes_the_depth_and_foreign_sentences_are_no_fault(self):
        unit = self.start_unit()
        unit.wait_line("Watchdog register thread: Main thread", timeout=30)
        box = self.start_station(JunctionBox(depth=(12.5, 48.0)))
        bridge = self.start_station(Listener(group=3))
        unit.wait_line(LINK_UP, timeout=20)
        depth = lambda h: h.sentence.named()["DepthBlwTransducerMeters"]
        heard = bridge.wait_sentence("DPT", source=UNIT, timeout=20, where=lambda s: s.named()["DepthBlwTransducerMeters"] == "12.5")
        self.assertTrue(heard.sentence.checksum_ok)
        self.assertEqual(heard.sentence.named()["MaximumRangeScale"], "20")
        # The depth follows the images; without bottom it is sent empty once its validity has run out.
        box.depth = [30.0, 48.0]
        bridge.wait_sentence("DPT", source=UNIT, timeout=10, where=lambda s: s.named()["DepthBlwTransducerMeters"] == "30.0")
        box.depth = [None, 48.0]
        since = time.monotonic()
        empty = bridge.wait_sentence("DPT", source=UNIT, since=since, timeout=20,
                                     where=lambda s: s.named()["DepthBlwTransducerMeters"] == "")
        self.assertGreater(empty.time - since, 9.0)
        self.assertTrue(all(depth(h) == "30.0" for h in bridge.sentences_of("DPT", UNIT, since) if h.time < empty.time))

        # Other equipment on the network: a position receiver whose datagrams the unit takes (they
        # start with a position), and the box passing on what its own lines received. Sentences the
        # unit has no use for are no fault; a wrong address (76) and an over-long sentence (74) are.
        gps = self.start_station(Station("GP0001"))
        position = nmea.build("GPGGA", ["083001.00", "4807.038", "N", "01131.000", "E", "1", "08", "0.9", "545.4",
                                        "M", "46.9", "M", "", ""])
        gps.send_sentences([position] + FOREIGN)
        box.send_sentences(FOREIGN)
        box.send_sentences(FOREIGN, grouped=False)
        gps.send_sentences([position, nmea.build("GPHD", ["1.0"])])
        box.send_sentences([nmea.build("GPRMC", ["1" * 80])])
        time.sleep(1.0)
        since = time.monotonic()
        box.send_sentences([nmea.build("PZTQVMPCGTER", ["1"])], dest=[UNIT])
        tables = box.wait_for(lambda: (lambda t: t if len(t) >= 2 else None)(
            box.sentences_of("PZTQERRORTABLE", UNIT, since)), timeout=10, what="the error table")
        counts = {}
        for h in tables:
            fields = h.sentence.fields
            half = len(fields) // 2
            counts.update(zip(fields[:half], fields[half:]))
        self.assertEqual((counts.get("74"), counts.get("76"), counts.get("78")), ("1", "1", "2"))


class CommunicationLogs(LinesTestCase):
    def setting_files(self, box, values: dict) -> dict:
        """The logging setup in the unit's files and in the box's copy, so both start alike."""
        files = {}
        for obj, props in values.items():
            files["JB_%s.txt" % obj] = "Type_Setup," + ",".join("%s=%s" % kv for kv in props.items())
            for name, value in props.items():
                box.setup.set("CommunicationsLoggingSetup/%s/%s" % (obj, name), value)
        return files

    def test_each_port_and_direction_as_the_logging_setup_says(self):
        one, two = self.line("one"), self.line("two")
        box = JunctionBox(depth=(12.5, 48.0))
        files = self.setting_files(box, {
            "InputLoggingSetup": {"Nmea1": ON, "Nmea2": OFF, "Nmea3": ON, "NmeaUdp": OFF},
            "OutputLoggingSetup": {"Nmea1": OFF, "Nmea2": ON, "Nmea3": OFF, "NmeaUdp": ON},
            "ErrorLoggingSetup": {"Nmea1": ON, "Nmea2": OFF, "Nmea3": ON, "NmeaUdp": ON,
                                  "UdpNmeaDatagram": ON, "UdpBinaryDatagram": OFF}})
        unit = self.start_unit("serial-1", one.unit_path, "serial-2", two.unit_path, workdir=self.workdir(files))
        unit.wait_line("Opened port for reading: " + re.escape(two.unit_path), timeout=30)
        self.start_station(box)
        unit.wait_line(LINK_UP, timeout=20)
        good, bad = nmea.build("HEHDT", ["77.0", "T"]), "$HEHDT,1.0,T*00\r\n"
        for line in (one, two):
            line.write(good + bad)
        # On the network a wrong checksum ends at the datagram; a wrong address reaches the sentence check.
        box.send_sentences([good])
        box.send_sentences([nmea.build("HEHD", ["1.0"])])

        self.record_of(self.logs(unit, "Input_Messages", "NMEA_1.txt"), good)
        self.record_of(self.logs(unit, "Output_Messages", "NMEA_2.txt"), DEPTH_DPT)
        self.record_of(self.logs(unit, "Output_Messages", "NMEA_UDP.txt"), DEPTH_DPT)
        errors = self.logs(unit, "Input_Errors", "NMEA_1.txt")
        self.wait_for(lambda: any(l.endswith("): " + bad.rstrip() + "<<") for l in self.file_lines(errors)), 20,
                      "the bad sentence in the error log")
        self.wait_for(lambda: self.file_lines(self.logs(unit, "Input_Errors", "NMEA_UDP.txt")), 20,
                      "the bad network sentence in the error log")
        time.sleep(2.5)     # two more write periods: nothing else may appear
        self.assertEqual(sorted(os.listdir(self.logs(unit, "Input_Messages"))), ["NMEA_1.txt"])
        self.assertEqual(sorted(os.listdir(self.logs(unit, "Output_Messages"))), ["NMEA_2.txt", "NMEA_UDP.txt"])
        self.assertEqual(sorted(os.listdir(self.logs(unit, "Input_Errors"))), ["NMEA_1.txt", "NMEA_UDP.txt"])

    def test_logs_go_to_the_device_the_setup_names(self):
        box = JunctionBox(depth=(12.5, 48.0))
        files = self.setting_files(box, {"CommonLoggingSetup": {"LogToDevice": 1}})
        folder = self.workdir(files)
        # A USB stick is mounted.
        os.makedirs(os.path.join(folder, "root", "etc"))
        os.makedirs(os.path.join(folder, "root", "media", "usb0"))
        with open(os.path.join(folder, "root", "etc", "mtab"), "w") as f:
            f.write("/dev/sda1 /media/usb0 vfat rw 0 0\n")
        unit = self.start_unit(workdir=folder)
        self.start_station(box)
        unit.wait_line(LINK_UP, timeout=20)
        usb = self.logs(unit, "Output_Messages", "NMEA_UDP.txt", device=("media", "usb0", "velmora"))
        self.record_of(usb, DEPTH_DPT)
        self.assertFalse(os.path.exists(self.logs(unit)))


if __name__ == "__main__":
    harness.main()
