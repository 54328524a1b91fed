"""The unit pairs with its junction box and takes its settings and images in every order of
events a ship meets, within 15 s of the later start."""
import time

from kvepeer import JunctionBox, harness, nmea
from unitpeer import BOX, LINK_LOST, SETUP_TAKEN, UNIT, depth_reported, setup_file

MAIN_UP = "Watchdog register thread: Main thread"


class OrdersOfEvents(harness.UnitTestCase):
    def paired(self, box, unit, since, within=15.0):
        """Settings taken and images drawn within the given seconds from since."""
        deadline = since + within
        unit.wait_line(SETUP_TAKEN, since=since, timeout=deadline - time.monotonic())
        depth_reported(box, box.depth[0], since, timeout=deadline - time.monotonic())

    def test_box_started_first_and_running(self):
        box = self.start_station(JunctionBox(depth=(17.3, 30.0)))
        time.sleep(1.0)   # its announcement went to nobody, and it does not answer the unit's
        unit = self.start_unit()
        self.paired(box, unit, unit.started)
        self.assertFalse(unit.has_line(LINK_LOST))

    def test_unit_started_first(self):
        unit = self.start_unit()
        unit.wait_line(MAIN_UP, timeout=30)
        time.sleep(2.0)
        box = self.start_station(JunctionBox(depth=(21.4, 30.0)))
        started = time.monotonic()
        self.paired(box, unit, started)
        # The box's announcement is answered at once, not by the next request of the supervision.
        first = box.wait_for(lambda: next((t for t, how in box.pair_requests if how == "P"), None), 2.0,
                             "a pair request after the box's announcement")
        self.assertLess(first - started, 2.0)

    def test_unit_restarted_while_the_box_runs(self):
        box = self.start_station(JunctionBox(depth=(9.8, 30.0)))
        unit = self.start_unit()
        self.paired(box, unit, unit.started)
        unit.restart()
        self.paired(box, unit, unit.started)
        self.assertFalse(unit.has_line(LINK_LOST))

    def test_box_restarted_while_paired(self):
        box = self.start_station(JunctionBox(depth=(12.0, 30.0)))
        unit = self.start_unit()
        self.paired(box, unit, unit.started)
        restarted = time.monotonic()
        box.depth[0] = 13.6
        box.restart(down_for=1.0)
        self.paired(box, unit, restarted, within=5.0)
        self.assertFalse(unit.has_line(LINK_LOST))

    def test_the_box_renamed_is_followed(self):
        box = self.start_station(JunctionBox(depth=(14.2, 30.0)))
        unit = self.start_unit()
        self.paired(box, unit, unit.started)
        renamed = time.monotonic()
        box.send_sentences([nmea.build("PZTQSFICHANGE", ["SD0110", BOX])])
        box.sfi = "SD0110"
        box.setup.set("KX12Setup/LocalSFI", "SD0110")
        box.depth[0] = 15.1
        # The unit unpairs the old name, pairs the new one and takes its settings and images.
        pair = box.wait_sentence("PZTQPAIR", source=UNIT, since=renamed, timeout=5,
                                 where=lambda s: s.named()["DestinationSfi"] == "SD0110")
        self.assertEqual(pair.sentence.named()["PairDevices"], "P")
        box.wait_sentence("PZTQPAIR", source=UNIT, since=renamed, timeout=5,
                          where=lambda s: s.named()["DestinationSfi"] == BOX and s.named()["PairDevices"] == "U")
        self.paired(box, unit, renamed)
        self.assertIn("PairedSFI=SD0110", setup_file(unit, "CU_DisplaySetup"))


if __name__ == "__main__":
    harness.main()
