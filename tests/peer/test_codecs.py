"""The peer's own wire formats, checked against the examples of the written format."""
import unittest

from kvepeer import binimage, echo, iec450, nmea, settings


class SentenceText(unittest.TestCase):
    def test_checksum_and_framing(self):
        self.assertEqual(nmea.checksum("abc"), "60")
        self.assertEqual(nmea.checksum("A@"), "01")
        line = nmea.build("SDDPT", ["12.3", "0.5", "50"])
        s = nmea.parse(line)
        self.assertTrue(line.endswith("\r\n") and s.checksum_ok)
        self.assertEqual((s.talker, s.formatter, s.named()["DepthBlwTransducerMeters"]), ("SD", "DPT", "12.3"))
        self.assertEqual(line, "$SDDPT,12.3,0.5,50*4B\r\n")
        self.assertFalse(nmea.parse("$SDDPT,12.3,0.5,50*4b\r\n").checksum_ok)
        pair = nmea.parse(nmea.build("PZTQPAIR", ["SD0109", "SD0108", "P"]))
        self.assertEqual((pair.talker, pair.kind, pair.named()["PairDevices"]), ("PZTQ", "PZTQPAIR", "P"))

    def test_carrier_sentences_cut_and_join(self):
        for length, pieces in ((150, [68, 68, 14]), (200, [68, 68, 64])):
            text = "".join(chr(65 + i % 26) for i in range(length - 1)) + ","
            lines = nmea.carrier_sentences(text)
            self.assertEqual([len(l) - len("$PZTQAVG,*hh\r\n") for l in lines], pieces)
            self.assertTrue(all(len(l.rstrip("\r\n")) <= 82 and nmea.parse(l).checksum_ok for l in lines))
            self.assertEqual(nmea.join_carriers(lines), text)


class Datagrams(unittest.TestCase):
    def test_group_and_line_numbering(self):
        p = iec450.Packer()
        p.group_id, p.line = 36, 10
        d = iec450.parse(p.pack(["$A\r\n", "$B\r\n", "$C\r\n"], "SD0108")[0])
        self.assertEqual([e.body for e in d.entries],
                         ["g:1-3-37,s:SD0108,n:11", "g:2-3-37,s:SD0108,n:12", "g:3-3-37,s:SD0108,n:13"])
        self.assertTrue(all(e.checksum_ok for e in d.entries))
        self.assertEqual(d.message_tag(), "3-3-37-13")
        p.group_id, p.line = 99, 999
        d = iec450.parse(p.pack(["$A\r\n"], "SD0108", ["SD0109", "SD0110"], "pztqsetup")[0])
        self.assertEqual(d.entries[0].body, "g:1-1-1,s:SD0108,d:SD0109,d:SD0110,n:1,t:pztqsetup")
        self.assertEqual((d.destinations, d.text_tag), (["SD0109", "SD0110"], "pztqsetup"))

    def test_long_groups_split_at_the_datagram_limit(self):
        sentences = nmea.carrier_sentences("x" * 6000)
        datagrams = iec450.Packer().pack(sentences, "SD0108", ["SD0109"], "pztqsetup")
        self.assertGreater(len(datagrams), 1)
        self.assertTrue(all(len(d) <= 1460 and d.startswith(b"UdPbC\x00") for d in datagrams))
        entries = [e for d in datagrams for e in iec450.parse(d).entries]
        self.assertEqual([e.group[:2] for e in entries], [(i, len(sentences)) for i in range(1, len(sentences) + 1)])
        self.assertEqual(nmea.join_carriers(e.sentence for e in entries), "x" * 6000)
        with self.assertRaises(ValueError):
            iec450.Packer().pack(["$" + "x" * 1460 + "\r\n"], "SD0108")

    def test_acknowledgement_datagram(self):
        p = iec450.Packer()
        ack = p.ack("SD0108", "SD0109", "3-3-37-12")
        body = "g:1-1-1,s:SD0108,d:SD0109,n:1,t:pztqack3-3-37-12"
        self.assertEqual(ack, ("UdPbC\x00\\%s*%s\\$PZTQAVG,ackmessage\r\n" % (body, nmea.checksum(body))).encode())
        untagged = iec450.parse(b"UdPbC\x00\\s:SD0109,n:7*00\\$PZTQAVG,x*00\r\n")
        self.assertEqual(untagged.message_tag(), "1-1-1-7")


class Images(unittest.TestCase):
    def test_descriptor_and_split(self):
        self.assertEqual(len(binimage.descriptor(0, "0123456789")), 49)
        image = bytes(range(256)) * 20
        parts = [binimage.parse(d) for d in binimage.datagrams(image, "0123456789", 2, 77, "SD0108")]
        self.assertEqual(len(parts[0].payload), 1460 - 38 - 49)
        self.assertEqual([(p.sequence, p.max_sequence, p.block_id, p.channel) for p in parts],
                         [(i, len(parts), 77, 2) for i in range(1, len(parts) + 1)])
        first = parts[0]
        self.assertEqual((first.token, first.version, first.header_length, first.source, first.destination,
                          first.message_type), (b"RaUdP", 2, 38, "SD0108", "XXXXXX", 1))
        self.assertEqual(first.descriptor["file_length"], len(image))
        self.assertEqual(binimage.reassemble(reversed(parts)), (image, "0123456789"))
        empty = binimage.datagrams(b"", "", 1, 1, "SD0108")
        self.assertEqual((len(empty), binimage.parse(empty[0]).max_sequence), (1, 1))

    def test_echo_record_information_text(self):
        info = echo.info_text(1, "raw", 12.345, draft=2.0, buffer_range=20)
        self.assertEqual((info[:13], info[9:12]), ("KVEJBch2_Raw,", "Raw"))
        fields = info[13:].split(",")
        self.assertRegex(fields[1], r"^\d\d-\d\d-\d\d-\d\d\d$")
        self.assertEqual(fields[2:6], ["12.35", "12.35", "14.35", "20.00"])
        self.assertEqual(echo.info_text(0, "display", None)[13:].split(",")[2:5], ["-100"] * 3)


class SettingsText(unittest.TestCase):
    def test_complete_text_round_trip(self):
        setup = settings.load("shared_settings.txt")
        text = setup.complete_text("Type_Setup")
        self.assertTrue(text.startswith("Type_Setup,SerializableClass1=AlertSetup,AlarmShallow=10.00,"
                                        "AlarmShallowID=230,AlertDeep=0.00,AlertDeepID=10456,"))
        values = settings.read_complete(text)
        self.assertEqual(values["SetupSetup/TransducerSelectSetup/TransducerSetup2/Draft"], "2.00")
        self.assertEqual(values["NoiseSelfTest/NoiseTestResultsCh1FreqLow/TestStatus"], "1")
        other = settings.load("shared_settings.txt")
        other.set("AlertSetup/AlarmShallow", 33)
        other.set("SetupSetup/TransducerSelectSetup/TransducerSetup2/Draft", 7)
        self.assertTrue(settings.apply_complete(setup, other.complete_text("Type_Setup"),
                                                {"AlertSetup/AlarmShallow": 1000}))
        self.assertEqual((setup.get("AlertSetup/AlarmShallow"),
                          setup.get("SetupSetup/TransducerSelectSetup/TransducerSetup2/Draft")), ("10.0", "7.00"))
        self.assertFalse(settings.apply_complete(setup, "Type_Setup,AlarmShallow"))

    def test_single_property_and_runtime_texts(self):
        text = settings.single_text("Type_Setup", ["ESSetup", "AlertSetup"], "AlarmShallow", 5)
        self.assertEqual(text, "Type_Setup,SingleProperty,ESSetup,AlertSetup,AlarmShallow=5")
        s = settings.read_single("Type_SetupNoAck,SingleProperty,ESSetup,AlertSetup,AlarmShallow=5(1000)")
        self.assertEqual((s.tag, s.key, s.value, s.timestamp, s.no_ack), ("Type_Setup", "AlertSetup/AlarmShallow",
                                                                            "5", 1000, True))
        self.assertEqual(settings.read_single(text[:-2] + "=7(x1)").timestamp, None)
        self.assertEqual([settings.real_text(v) for v in (0.005, 2, -3)], ["0.00", "2.00", "-3.00"])
        runtime = settings.load("runtime.txt", invalid=True)
        runtime.set("DepthSurface", 12.34)
        runtime.child([]).items["DepthKeel"].integrity = False
        self.assertTrue(runtime.complete_text("Type_Runtime").startswith("Type_Runtime,DepthSurface=12.34=T,DepthKeel==F,"))

    def test_alert_text(self):
        alerts = settings.Alerts()
        alerts.set("AlarmShallow", 0)
        self.assertEqual(alerts.acknowledge("Shallow Water"), "AlarmShallow")
        values = settings.read_complete(alerts.text())
        self.assertEqual(len([k for k in values if k.endswith("/AlertText")]), 9)
        self.assertEqual(values["AlarmShallow/AlertState"], ("2", "T"))
        self.assertEqual(values["AlertDisplayError/AlertText"], ("KX12 Comms Fail", "T"))


if __name__ == "__main__":
    unittest.main()
