"""Steady traffic across the unit's 10 s group checks loses nothing: every copy of every setup
datagram the box sends is acknowledged."""
import time

from kvepeer import JunctionBox, harness
from unitpeer import LINK_LOST, SETUP_TAKEN, UNIT


def acks_from_unit(box, since):
    with box.cond:
        return sum(1 for h in box.heard if h.time >= since and h.datagram and h.datagram.source == UNIT
                   and h.datagram.text_tag.startswith("pztqack"))


class SteadyTraffic(harness.UnitTestCase):
    def test_thirty_seconds_of_settings_across_three_group_checks(self):
        box = self.start_station(JunctionBox(ping_rate=5))
        unit = self.start_unit()
        unit.wait_line(SETUP_TAKEN, timeout=15)
        box.wait_for(lambda: not box.unacked, 10, "the complete setup acknowledged")
        since = time.monotonic()
        sent0, resent0 = box.setup_sent, box.resent
        end = since + 32
        value = 0
        while time.monotonic() < end:   # four setup changes a second besides runtime values and alerts
            value = (value + 1) % 20
            box.send_single("AlertSetup/AlarmShallow", value + 1)
            time.sleep(0.25)
        box.wait_for(lambda: not box.unacked, 5, "every setup datagram acknowledged")
        copies = (box.setup_sent - sent0) + (box.resent - resent0)
        self.assertGreaterEqual(box.setup_sent - sent0, 120)
        # A datagram the unit threw away would be resent and acknowledged once less than sent.
        box.wait_for(lambda: acks_from_unit(box, since) >= copies, 3, "%d acknowledgements" % copies)
        self.assertEqual(acks_from_unit(box, since), copies)
        self.assertFalse(unit.has_line(LINK_LOST))


if __name__ == "__main__":
    harness.main()
