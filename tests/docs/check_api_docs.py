#!/usr/bin/env python3
"""Checks that the API pages say what the headers say.

  check_api_docs.py velkor.h velkor_link.hpp api.md status-codes.md

- every function of the headers has exactly one row in api.md, and every row
  names a function of the headers;
- a command function whose header comment names its command byte has that
  byte in its row's Cmd column, and one whose comment names none has "—";
- a function whose header comment (or its section's "Unless noted") names a
  write-back variant has its row's Write-back column start with it;
- every STATUS_ and VELKOR_STATUS_ code of velkor.h has a row in status-codes.md with its value,
  and every VELKOR_MAX_ constant appears in api.md with its value.
"""
import re
import sys

VARIANTS = ("outputs on success", "address always", "no address", "status only",
            "outputs always")
VARIANT_RE = "|".join(VARIANTS)

COMMAND_DECL = re.compile(r"VELKOR_EXPORT\s+(?:int|const\s+char\s*\*)\s*VELKOR_CALL\s+(\w+)\s*\(")
LINK_DECL = re.compile(r"^VELKOR_API\s+\w+\s+(\w+)\s*\(", re.M)
LINK_CLASS = re.compile(r"^class\s+VELKOR_API\s+(\w+)", re.M)
COMMENT = re.compile(r"/\*.*?\*/", re.S)
RULER = re.compile(r"^/\* -{20,} \*/$")
COMMAND_BYTE = re.compile(r"(?:\(|\bcommand )0x([0-9A-Fa-f]{2})\b")
OWN_VARIANT = re.compile(
    r"Variant:\s*(%s)|(?:^|[.]\s+)(Outputs on success|Outputs always|Status only)[.:]"
    % VARIANT_RE)
SECTION_VARIANT = re.compile(r"Unless noted:\s*variant\s+(%s)" % VARIANT_RE)
SECTION_SPLIT = re.compile(r"Setters:\s*variant\s+(%s)\.\s*Getters:\s*variant\s+(%s)"
                           % (VARIANT_RE, VARIANT_RE))
ROW = re.compile(r"^\|\s*`(\w+)`\s*\|(.*)\|\s*$")


def plain(comment):
    """A comment's words, without the comment marks and line breaks."""
    text = re.sub(r"^\s*/?\*+/?", " ", comment, flags=re.M)
    text = text.replace("*/", " ")
    return " ".join(text.split())


def section_rule(banner):
    """The variant a section's banner gives its functions, by name, or None."""
    text = plain(banner)
    found = SECTION_VARIANT.search(text)
    if found:
        return lambda name: found.group(1)
    found = SECTION_SPLIT.search(text)
    if found:
        return lambda name: found.group(2) if name.startswith("Get") else found.group(1)
    return lambda name: None


def section_defaults(header):
    """(offset, variant rule) for each ruled section banner."""
    sections = []
    lines = header.splitlines(keepends=True)
    offset, banner, start = 0, None, 0
    for line in lines:
        if RULER.match(line.strip()):
            if banner is None:
                banner, start = [], offset
            else:
                sections.append((start, section_rule("".join(banner))))
                banner = None
        elif banner is not None:
            banner.append(line)
        offset += len(line)
    return sections


def command_functions(header):
    """name -> (command byte or None, variant or None) from velkor.h."""
    sections = section_defaults(header)
    functions = {}
    previous_end = 0
    for match in COMMAND_DECL.finditer(header):
        name = match.group(1)
        gap = header[previous_end:match.start()]
        comments = COMMENT.findall(gap)
        own = plain(comments[-1]) if comments else ""
        byte = COMMAND_BYTE.search(own)
        variant = OWN_VARIANT.search(own)
        if variant:
            variant = (variant.group(1) or variant.group(2)).lower()
        else:
            rules = [rule for at, rule in sections if at < match.start()]
            variant = rules[-1](name) if rules else None
        functions[name] = ("0x" + byte.group(1).upper() if byte else None, variant)
        previous_end = header.index(";", match.end()) + 1
    return functions


def doc_rows(api):
    """name -> list of (cmd cell, write-back cell) for each table row."""
    rows = {}
    for line in api.splitlines():
        match = ROW.match(line)
        if not match:
            continue
        cells = [c.strip() for c in match.group(2).split("|")]
        rows.setdefault(match.group(1), []).append((cells[0], cells[-1]))
    return rows


def main(header_path, link_path, api_path, status_path):
    header = open(header_path, encoding="utf-8").read()
    link = open(link_path, encoding="utf-8").read()
    api = open(api_path, encoding="utf-8").read()
    statuses = open(status_path, encoding="utf-8").read()
    errors = []

    commands = command_functions(header)
    link_names = set(LINK_DECL.findall(link)) | set(LINK_CLASS.findall(link))
    rows = doc_rows(api)
    if len(commands) < 90 or len(link_names) < 8:
        errors.append("found only %d command and %d link functions in the headers"
                      % (len(commands), len(link_names)))

    for name, found in sorted(rows.items()):
        if name not in commands and name not in link_names:
            errors.append("%s: documented but not declared in the headers" % name)
        elif len(found) > 1:
            errors.append("%s: %d rows in the API page" % (name, len(found)))
    for name in sorted(link_names - {"CVelkor"}):
        if name not in rows:
            errors.append("%s: declared in velkor_link.hpp, no row in the API page" % name)
    if "`CVelkor`" not in api:
        errors.append("CVelkor: declared in velkor_link.hpp, not in the API page")

    for name, (byte, variant) in sorted(commands.items()):
        if name not in rows:
            errors.append("%s: declared in velkor.h, no row in the API page" % name)
            continue
        cmd, write_back = rows[name][0]
        if byte is None and not cmd.startswith("—"):
            errors.append("%s: the header names no command byte, the page says %s"
                          % (name, cmd))
        if byte is not None and cmd != byte:
            errors.append("%s: command %s in the header, %s in the page" % (name, byte, cmd))
        if variant is not None and not write_back.lower().startswith(variant):
            errors.append("%s: variant '%s' in the header, the page says '%s'"
                          % (name, variant, write_back))

    for name, value in re.findall(r"#define\s+((?:VELKOR_)?STATUS_\w+)\s+(0x[0-9A-Fa-f]+)",
                                  header):
        row = re.search(r"^\|\s*`%s`\s*\|\s*(0x[0-9A-Fa-f]+)\s*\|" % name, statuses, re.M)
        if not row:
            errors.append("%s: no row in the status-code page" % name)
        elif int(row.group(1), 16) != int(value, 16):
            errors.append("%s: %s in the header, %s in the status-code page"
                          % (name, value, row.group(1)))
    for name, value in re.findall(r"#define\s+(VELKOR_MAX_\w+)\s+(\d+)", header):
        if not re.search(r"`%s`[^|\n]*\(%s\b" % (name, value), api):
            errors.append("%s: not given with its value %s in the API page" % (name, value))

    for error in errors:
        print(error)
    print("%d functions, %d link functions checked: %s"
          % (len(commands), len(link_names), "FAILED" if errors else "ok"))
    return 1 if errors else 0


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
