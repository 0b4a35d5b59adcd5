#!/usr/bin/env python3
"""Every place that lists the tool's exit statuses lists the tool's own.

  check_exit_statuses.py tools/cli/exit_codes.h README.md docs/getting-started.md docs/tool.md [velkor]

The statuses are the kExit constants of exit_codes.h; README.md and Getting started
give them in an "Exit status: 0 ..., 1 ..." sentence, docs/tool.md in its
table, the man page (`velkor generate man`) in its EXIT STATUS section.
"""
import re
import subprocess
import sys


def sentence(text):
    found = re.search(r"Exit status: (.*?)\.(?:\s|$)", text, re.S)
    return set(re.findall(r"(?:^|, )(\d+) ", found[1])) if found else set()


def table(text):
    section = text.split("## Exit statuses", 1)[-1].split("\n## ", 1)[0]
    return set(re.findall(r"^\| (\d+) \|", section, re.M))


def man_page(tool):
    page = subprocess.run([tool, "generate", "man"], capture_output=True, text=True,
                          check=True).stdout
    section = page.split(".SH EXIT STATUS", 1)[-1].split("\n.SH ", 1)[0]
    return set(re.findall(r"^\.B (\d+)$", section, re.M))


def main():
    header, readme, getting_started, tool_page = sys.argv[1:5]
    wanted = set(re.findall(r"constexpr int kExit\w+ = (\d+);", open(header).read()))
    places = {readme: sentence(open(readme).read()),
              getting_started: sentence(open(getting_started).read()),
              tool_page: table(open(tool_page).read())}
    if len(sys.argv) > 5:
        places["the man page"] = man_page(sys.argv[5])
    problems = [f"{place} lists {sorted(found, key=int)}, the tool has {sorted(wanted, key=int)}"
                for place, found in places.items() if found != wanted]
    print("\n".join(problems) or f"exit statuses {sorted(wanted, key=int)} agree in "
          f"{len(places)} places")
    return 1 if problems or not wanted else 0


if __name__ == "__main__":
    sys.exit(main())
