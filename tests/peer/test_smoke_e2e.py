"""The real control unit pairs with the independent peer and takes its settings."""
from kvepeer import JunctionBox, harness

LINK_UP = "Communication with junction box: up|Complete setup received from junction box"


class UnitFirstThenBox(harness.UnitTestCase):
    def test_box_started_after_the_unit_is_paired_and_its_setup_acknowledged(self):
        unit = self.start_unit()
        unit.wait_line("Watchdog register thread: Main thread", timeout=30)
        box = self.start_station(JunctionBox())
        unit.wait_line(LINK_UP, timeout=15)
        box.wait_for(lambda: box.setup_sent and box.setup_acked == box.setup_sent, timeout=15,
                     what="every setup datagram acknowledged (%d sent)" % box.setup_sent)
        self.assertEqual({how for _, how in box.pair_requests}, {"P"})
        self.assertFalse(unit.has_line("Communication with junction box: lost"))


if __name__ == "__main__":
    harness.main()
