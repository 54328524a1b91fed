"""A box that falls silent is declared lost and paired again when it is back, and after any outage
the two units end in step: the complete setup that answers a pairing is taken whole."""
import re
import time

from kvepeer import JunctionBox, harness, nmea
from unitpeer import BOX, LINK_LOST, SETUP_TAKEN, UNIT, depth_reported, setup_file

LINK_UP = "Communication with junction box: up"


def alarm_shallow(unit):
    return float(re.search(r"AlarmShallow=([-\d.]+)", setup_file(unit, "JB_AlertSetup")).group(1))


class LinkLoss(harness.UnitTestCase):
    def test_link_lost_for_15_s_and_back_ends_in_step(self):
        box = self.start_station(JunctionBox(depth=(11.0, 30.0)))
        unit = self.start_unit()
        unit.wait_line(SETUP_TAKEN, timeout=15)
        # A change stamped by the box is taken and remembered with its timestamp...
        box.send_single("AlertSetup/AlarmShallow", 5, timestamp=True)
        box.wait_for(lambda: alarm_shallow(unit) == 5.0, 5, "the stamped change taken")
        # ...then the link goes for 15 s, during which the box's value changes without a message.
        silent = time.monotonic()
        box.fall_silent(15)
        box.setup.set("AlertSetup/AlarmShallow", 7)
        unit.wait_line(LINK_LOST, since=silent, timeout=14)
        back = silent + 15
        # Back: the supervision asks to pair (every 11 s), the box's complete setup is taken whole.
        unit.wait_line(LINK_UP, since=back, timeout=13)
        self.assertEqual(alarm_shallow(unit), 7.0)
        depth_reported(box, 11.0, back, timeout=13)

    def test_box_restarted_after_the_link_was_declared_lost_is_paired_at_once(self):
        box = self.start_station(JunctionBox(depth=(16.5, 30.0)))
        unit = self.start_unit()
        unit.wait_line(SETUP_TAKEN, timeout=15)
        silent = time.monotonic()
        box.fall_silent(60)
        unit.wait_line(LINK_LOST, since=silent, timeout=14)
        # The supervision has just asked to pair; its next request is 11 s away. The box's
        # announcement must not wait for it.
        restarted = time.monotonic()
        box.restart(down_for=0.5)
        unit.wait_line(LINK_UP, since=restarted, timeout=4)
        depth_reported(box, 16.5, restarted, timeout=5)

    def test_setting_never_acknowledged_is_resent_ten_times_then_the_box_is_asked_to_pair(self):
        box = self.start_station(JunctionBox(ping_rate=0))
        unit = self.start_unit()
        unit.wait_line(SETUP_TAKEN, timeout=15)
        box.ack_setup = False
        t = time.monotonic()
        box.send_sentences([nmea.build("PZTQSLP", [BOX, "1"])], sfi="AS0001")   # the unit reports its mode
        unit.wait_line("Settings not acknowledged by " + BOX, since=t, timeout=15)
        given_up = time.monotonic()
        copies = [h for h in box.heard if h.time >= t and h.datagram and h.datagram.source == UNIT
                  and h.datagram.text_tag == "pztqsetup"]
        self.assertEqual(len(copies), 11)                        # sent once, resent ten times, unchanged
        self.assertEqual(len({h.raw for h in copies}), 1)
        self.assertGreater(copies[-1].time - copies[0].time, 9.0)
        box.wait_for(lambda: any(when >= given_up - 0.5 and how == "P" for when, how in box.pair_requests), 3,
                     "a pair request once the unit gave up")


if __name__ == "__main__":
    harness.main()
