"""Commands of the peers act in the running program, standby holds on the wire both ways, and
settings traffic is addressed to the paired box even before it is connected."""
import os
import signal
import time

from kvepeer import JunctionBox, Listener, harness, nmea
from unitpeer import BOX, SETUP_TAKEN, UNIT, depth_reported, setup_file

ALERT_SYSTEM = "AS0001"   # the bridge alert management system


def mode_text(value):
    return "KX12Setup,SystemInNormalOrStandbyMode=%d" % value


def restarted_units(program, workdir, besides):
    """Process ids of kve420 programs running in workdir, other than the given one."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            if (int(pid) != besides and os.readlink("/proc/%s/exe" % pid) == program
                    and os.readlink("/proc/%s/cwd" % pid) == workdir):
                found.append(int(pid))
        except OSError:
            pass
    return found


class PeerCommands(harness.UnitTestCase):
    def test_sleep_and_normal_operation_with_standby_on_the_wire(self):
        box = self.start_station(JunctionBox(depth=(19.5, 30.0)))
        unit = self.start_unit()
        unit.wait_line(SETUP_TAKEN, timeout=15)
        depth_reported(box, 19.5, unit.started)
        # A sleep request for another box changes nothing.
        t = time.monotonic()
        box.send_sentences([nmea.build("PZTQSLP", ["SD0177", "1"])], sfi=ALERT_SYSTEM)
        box.send_sentences([nmea.build("PZTQSLP", [BOX, "1"])], sfi=ALERT_SYSTEM)
        standby = box.wait_text(mode_text(1), source=UNIT, since=t, timeout=5)
        self.assertEqual(len(box.texts_from(UNIT, t, "SystemInNormalOrStandbyMode")), 1)
        # In standby no depth leaves the unit, and a MAC address sent to it is not taken.
        box.send_sentences([nmea.build("PZTQMACA", ["00:1A:2B:3C:4D:5E"])])
        time.sleep(3)
        self.assertEqual(box.sentences_of("DPT", UNIT, standby.time + 0.2), [])
        self.assertEqual(box.sentences_of("PZTQDPT", UNIT, standby.time + 0.2), [])
        self.assertNotIn("MacAddress=00:1A:2B:3C:4D:5E", setup_file(unit, "CU_DisplaySetup"))
        # Normal operation again: reported, depths flow, the MAC address is stored.
        t = time.monotonic()
        box.send_sentences([nmea.build("PZTQICM", ["0", "98", ""])], sfi=ALERT_SYSTEM)
        box.wait_text(mode_text(0), source=UNIT, since=t, timeout=5)
        depth_reported(box, 19.5, t, timeout=5)
        box.send_sentences([nmea.build("PZTQMACA", ["00:1A:2B:3C:4D:5E"])])
        box.wait_for(lambda: "MacAddress=00:1A:2B:3C:4D:5E" in setup_file(unit, "CU_DisplaySetup"), 5,
                     "the MAC address in the display's settings file")

    def test_error_counters_on_request(self):
        box = self.start_station(JunctionBox(ping_rate=0))
        unit = self.start_unit()
        unit.wait_line(SETUP_TAKEN, timeout=15)
        box.send_raw(b"UdPbCx", ("239.192.0.4", 60004))   # one header fault (79)
        t = time.monotonic()
        box.send_sentences([nmea.build("PZTQVMPCGTER", ["1"])])
        box.wait_for(lambda: len(box.sentences_of("PZTQERRORTABLE", UNIT, t)) == 2, 5, "the error table")
        table = [h.sentence.fields for h in box.sentences_of("PZTQERRORTABLE", UNIT, t)]
        self.assertEqual(table[0][:8], ["70", "71", "72", "73", "74", "75", "76", "77"])
        self.assertEqual(table[1][:7], ["78", "79", "80", "81", "82", "83", "84"])
        self.assertEqual((table[1][7], table[1][8]), ("1", "1"))   # total and 79
        t = time.monotonic()
        box.send_sentences([nmea.build("PZTQVMPCGTER", ["5"])])
        code = box.wait_sentence("PZTQERRORCODE", source=UNIT, since=t, timeout=5)
        self.assertEqual(code.sentence.fields, ["79", "1"])

    def test_reboot_request_restarts_the_program(self):
        box = self.start_station(JunctionBox(ping_rate=0))
        unit = self.start_unit()
        unit.wait_line(SETUP_TAKEN, timeout=15)
        t = time.monotonic()
        box.send_sentences([nmea.build("PZTQREBOOT", [BOX, "update"])])
        unit.wait_line("Reboot requested by " + BOX, since=t, timeout=5)
        self.assertEqual(unit.proc.wait(15), 0)
        # The program started again on the same interface announces itself and pairs.
        try:
            box.wait_sentence("PZTQDEVSTART", source=UNIT, since=t, timeout=20)
            box.wait_for(lambda: any(when > t and how == "P" for when, how in box.pair_requests), 10,
                         "a pair request of the restarted unit")
        finally:
            for pid in restarted_units(unit.program, unit.workdir, unit.proc.pid):
                os.kill(pid, signal.SIGTERM)
        self.assertTrue(unit.has_line("^Restart command: ", since=t))

    def test_settings_go_to_the_paired_box_while_it_is_away_and_pairing_brings_both_in_step(self):
        bridge = self.start_station(Listener(group=3, sfi=ALERT_SYSTEM))
        unit = self.start_unit()
        unit.wait_line("Watchdog register thread: Main thread", timeout=30)
        t = time.monotonic()
        bridge.send_sentences([nmea.build("PZTQSLP", [BOX, "1"])])
        text = bridge.wait_text(mode_text(1), source=UNIT, since=t, timeout=5)
        heard = [h for h in bridge.heard if h.time >= t and h.datagram and h.datagram.text_tag == "pztqsetup"]
        self.assertTrue(heard)
        self.assertTrue(all(h.datagram.destinations == [BOX] for h in heard))
        # The box comes and takes the change still being resent to it; the pairing that follows
        # leaves both units in the same mode.
        box = self.start_station(JunctionBox(depth=(23.5, 30.0)))
        unit.wait_line(SETUP_TAKEN, since=text.time, timeout=15)
        self.assertEqual(str(box.setup.get("KX12Setup/SystemInNormalOrStandbyMode")), "1")
        self.assertIn("SystemInNormalOrStandbyMode=1", setup_file(unit, "JB_KX12Setup"))
        self.assertEqual(box.sentences_of("DPT", UNIT), [])

    def test_setup_datagram_without_group_is_acknowledged(self):
        box = self.start_station(JunctionBox(ping_rate=0))
        unit = self.start_unit()
        unit.wait_line(SETUP_TAKEN, timeout=15)
        text = "Type_Setup,SingleProperty,ESSetup,AlertSetup,AlarmDeep=250"
        sent = box.send_sentences(nmea.carrier_sentences(text), dest=[UNIT], text_tag="pztqsetup", grouped=False)
        tag = "pztqack1-1-1-%d" % box.packer.line
        self.assertEqual(len(sent), 1)
        box.wait_for(lambda: any(h.datagram and h.datagram.text_tag == tag and h.datagram.source == UNIT
                                 for h in box.heard), 5, "the acknowledgement " + tag)


if __name__ == "__main__":
    harness.main()
