"""velkor.epc: the EPC codec through its C API, decode and encode both ways,
and bad input refused with the field named."""

from __future__ import annotations

import os
import unittest
from typing import Callable, List, Tuple

from velkor import epc

SGTIN = "3074257BF7194E4000001A85"


@unittest.skipUnless(os.environ.get("VELKOR_EPC_LIBRARY"), "VELKOR_EPC_LIBRARY names no library")
class Codec(unittest.TestCase):
    def test_decode_gives_fields_and_uris(self) -> None:
        e = epc.decode(SGTIN)
        self.assertEqual(
            (e.scheme, e.filter, e.company_prefix, e.reference, e.serial),
            ("sgtin-96", 3, "0614141", "812345", "6789"))
        self.assertEqual(e.tag_uri, "urn:epc:tag:sgtin-96:3.0614141.812345.6789")
        self.assertEqual(e.id_uri, "urn:epc:id:sgtin:0614141.812345.6789")
        self.assertEqual(e.gs1, "(01)80614141123458(21)6789")
        self.assertEqual(epc.decode(bytes.fromhex(SGTIN)), e)

    def test_every_way_in_encodes_the_same_epc(self) -> None:
        for made in (
                epc.encode("urn:epc:tag:sgtin-96:3.0614141.812345.6789"),
                epc.encode("urn:epc:id:sgtin:0614141.812345.6789", filter=3, bits=96),
                epc.encode_gs1("gtin", "80614141123458", prefix_length=7, serial="6789",
                               filter=3)):
            self.assertEqual(made, SGTIN)

    def test_bad_input_names_the_field(self) -> None:
        cases: List[Tuple[Callable[[], object], str]] = [
            (lambda: epc.decode("307C257BF7194E4000001A85"), "partition"),
            (lambda: epc.encode_gs1("gtin", "80614141123459", 7, "1"), "check digit"),
            (lambda: epc.encode("urn:epc:tag:sgtin-96:3.0614141.812345.274877906944"), "serial"),
            (lambda: epc.encode_gs1("isbn", "1", 7), "key"),
        ]
        for call, words in cases:
            with self.subTest(words), self.assertRaises(epc.EpcError) as caught:
                call()
            self.assertIn(words, str(caught.exception))


if __name__ == "__main__":
    unittest.main()
