#!/usr/bin/env python3
"""The tool's --json documents against docs/events.schema.json: every line
each command prints is valid under the event its name (or its "event"
field) gives.

  events_schema_check.py VELKOR_TOOL SCHEMA
"""
import json
import os
import subprocess
import sys
import tempfile

import jsonschema


def main(tool, schema_path):
    with open(schema_path) as f:
        schema = json.load(f)

    def validator(name):
        return jsonschema.Draft202012Validator({**schema, "$ref": "#/$defs/" + name})

    with tempfile.TemporaryDirectory() as scratch:
        log = os.path.join(scratch, "log.csv")
        runs = [
            ("tag-read", ["--emulate", "inventory", "--json", "--tid", "--decode"]),
            ("tag-read", ["--emulate", "inventory", "--watch", "--rounds", "2", "--json"]),
            ("info", ["--emulate", "info", "--json"]),
            ("info", ["--emulate", "list", "--json"]),
            ("config", ["--emulate", "config", "--json"]),
            (None, ["--emulate-feed", "2", "commission", "--gtin", "80614141123458",
                    "--prefix-length", "7", "--serial-from", "1", "--count", "3",
                    "--timeout", "0", "--log", log, "--json"]),
            (None, ["--emulate-tags", "2", "commission", "--gtin", "80614141123458",
                    "--prefix-length", "7", "--serial-from", "1", "--count", "3",
                    "--timeout", "0", "--log", log, "--json"]),
            (None, ["--emulate-tags", "0", "commission", "--gtin", "80614141123458",
                    "--prefix-length", "7", "--serial-from", "1", "--count", "3",
                    "--timeout", "0", "--log", log, "--json", "--void", "3"]),
        ]
        checked = 0
        names = set()
        for name, args in runs:
            run = subprocess.run([tool, *args], capture_output=True, text=True, timeout=60)
            lines = [line for line in run.stdout.splitlines() if line]
            if not lines:
                print("nothing printed by", " ".join(args), run.stderr)
                return 1
            for line in lines:
                document = json.loads(line)
                kind = name or document["event"]
                kind = {"interrupted": "commission-entry", "resuming": "commission-entry",
                        "left": "commission-entry", "void": "commission-entry"}.get(kind, kind)
                errors = list(validator(kind).iter_errors(document))
                if errors:
                    print("%s: %s\n  %s" % (kind, line, errors[0].message))
                    return 1
                names.add(kind)
                checked += 1
    expected = {"tag-read", "info", "config", "tag", "end", "several", "commission-entry"}
    if not expected <= names:
        print("documents not seen:", sorted(expected - names))
        return 1
    print("%d documents valid: %s" % (checked, ", ".join(sorted(names))))
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
