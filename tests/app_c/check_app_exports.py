#!/usr/bin/env python3
"""libvelkor_app exports exactly the functions velkor_app.h declares.

  check_app_exports.py NM LIBRARY HEADER
"""
import re
import subprocess
import sys


def main(nm, library, header):
    declared = set(re.findall(r"^VELKOR_APP_API\s[^(;]*?\b(velkor_app_\w+)\s*\(",
                              open(header, encoding="utf-8").read(), re.M))
    listing = subprocess.run([nm, "-D", "--defined-only", library], check=True,
                             capture_output=True, text=True).stdout
    exported = {line.split()[-1] for line in listing.splitlines()
                if line.split() and line.split()[-2:-1] in (["T"], ["W"], ["D"], ["B"], ["V"])}
    extra, missing = sorted(exported - declared), sorted(declared - exported)
    for name in extra:
        print("exported but not declared:", name)
    for name in missing:
        print("declared but not exported:", name)
    print("%d functions declared, %d symbols exported" % (len(declared), len(exported)))
    return 1 if extra or missing or not declared else 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
