"""One inventory on an emulated reader through the velkor package as
installed, printing which libraries it loaded and how many tags answered."""

import velkor
from velkor import _lib, mqtt

with velkor.Reader.emulated() as reader:
    tags = reader.inventory()
print(f"library {_lib.loaded(_lib.VELKOR)._name}")
print(f"emulator {_lib.loaded(_lib.EMULATOR)._name}")
print(f"mqtt {mqtt._load()._name}")
print(f"epc {_lib.loaded(_lib.EPC)._name}")
print(f"core {_lib.loaded(_lib.APP)._name}")
print(f"{len(tags)} tags")
