"""The junction box's own conduct, seen from a station that plays the control unit."""
import time
import unittest

from kvepeer import JunctionBox, Listener, harness, iec450, nmea, settings


class BoxConduct(unittest.TestCase):
    def setUp(self):
        self.box = JunctionBox(ping_rate=0)
        self.box.RESENDS = 2
        self.unit = Listener(sfi="SD0109").start()
        self.addCleanup(self.unit.stop)
        self.box.start()
        self.addCleanup(self.box.stop)

    def test_pairing_answered_with_acknowledgement_and_setup_that_is_resent_until_given_up(self):
        self.unit.wait_sentence("PZTQDEVSTART", source="SD0108", where=lambda s: s.fields == ["SD0108"])
        self.unit.send_sentences([nmea.build("PZTQPAIR", ["SD0109", "SD0108", "P"])])
        ack = self.unit.wait_sentence("PZTQSFIACK", source="SD0108")
        self.assertEqual(ack.sentence.fields, ["SD0108", "SD0109", "PAIR", "P"])
        setup = self.unit.wait_text("Type_Setup,", source="SD0108")
        self.assertEqual(setup.text_tag, "pztqsetup")
        self.assertEqual(settings.read_complete(setup.text)["KX12Setup/LocalSFI"], "SD0108")
        sent = self.box.setup_sent
        self.box.wait_for(lambda: self.box.setup_lost == sent, timeout=10, what="setup given up")
        self.assertEqual(self.box.resent, 2 * sent)

    def test_settings_of_the_unit_acknowledged_and_applied_by_timestamp(self):
        def send(value, stamp):
            text = settings.single_text("Type_Setup", ["ESSetup", "AlertSetup"], "AlarmShallow", value, stamp)
            d = self.unit.send_sentences(nmea.carrier_sentences(text), dest=["SD0108"], text_tag="pztqsetup")
            tag = "pztqack" + iec450.parse(d[-1]).message_tag()
            return self.unit.wait_for(lambda: next((h for h in self.unit.heard if h.datagram
                                                    and h.datagram.text_tag == tag), None), what="acknowledgement")
        ack = send(7, 200).datagram
        self.assertEqual((ack.source, ack.destinations, ack.sentences), ("SD0108", ["SD0109"],
                                                                         ["$PZTQAVG,ackmessage\r\n"]))
        send(6, 100)
        self.assertEqual(self.box.setup.get("AlertSetup/AlarmShallow"), "7")
        send(5, 200)
        self.assertEqual(self.box.setup.get("AlertSetup/AlarmShallow"), "5")

    def test_alert_acknowledged_from_the_display(self):
        self.box.set_alert("AlarmShallow", 0)
        since = time.monotonic()
        text = "Type_Alert,SingleProperty,ESAlerts,AckFromDisplay=Shallow Water"
        self.unit.send_sentences(nmea.carrier_sentences(text), dest=["SD0108"], text_tag="pztqruntime")
        alerts = self.unit.wait_text("AckFromDisplay=Shallow Water", source="SD0108", since=since)
        self.assertEqual(settings.read_complete(alerts.text)["AlarmShallow/AlertState"], ("2", "T"))


if __name__ == "__main__":
    harness.main()
