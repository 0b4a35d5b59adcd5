#!/usr/bin/env python3
"""Checks that every public function documents its parameters and result.

  check_param_docs.py exports.txt velkor.h velkor_link.hpp [header ...]

- every function tests/exports.txt lists is declared in the library's
  headers (the first two), with as many parameters as the list gives it;
- every function declared in any of the headers has a Doxygen block right
  above it with one @param[in], @param[out] or @param[in,out] for each of its
  parameters, by the name the declaration gives it, naming no other, and a
  @return unless it returns nothing.
"""
import re
import sys

EXPORT_MACROS = r"(?:VELKOR_EXPORT|VELKOR_API|VELKOR_EPC_API|VELKOR_EMULATOR_API|VELKOR_APP_API)"
DECLARATION = re.compile(
    r"^[ \t]*%s\s+(?P<result>[\w\s\*&]+?)\s*\b(?P<name>\w+)\s*\((?P<params>[^;{]*?)\)\s*;"
    % EXPORT_MACROS, re.M)
MEMBER = re.compile(
    r"^[ \t]*(?P<result>[\w\s\*&]*?)\s*\b(?P<name>CVelkor|operator=)\s*\((?P<params>[^;{]*?)\)\s*;",
    re.M)
CLASS = re.compile(r"^class\s+VELKOR_API\s+CVelkor\s*\{(?P<body>.*?)^\};", re.M | re.S)
BLOCK_END = re.compile(r"(?:/\*\*(?:(?!\*/).)*\*/|(?:^[ \t]*///[^\n]*\n)+)\s*\Z", re.S | re.M)
PARAM = re.compile(r"@param(\[[^\]]*\])?\s+(\w+(?:\s*,\s*\w+)*)")
TYPE_WORDS = {"const", "unsigned", "signed", "struct", "void", "char", "short", "int",
              "long", "float", "double"}
DIRECTIONS = {"[in]", "[out]", "[in,out]"}


def parameter_names(params):
    """The names of a declaration's parameters; unnamed ones as ''."""
    params = params.strip()
    if params in ("", "void"):
        return []
    names = []
    for param in params.split(","):
        words = re.findall(r"[A-Za-z_]\w*", param)
        named = len(words) > 1 and words[-1] not in TYPE_WORDS
        names.append(words[-1] if named else "")
    return names


def doc_block(text, start):
    """The Doxygen block that ends right before offset start, or None."""
    found = BLOCK_END.search(text[:start])
    return found.group(0) if found else None


def declarations(text, where):
    """(label, result type, parameter names, offset, source text) per function."""
    found = []
    for match in DECLARATION.finditer(text):
        result = match.group("result").replace("VELKOR_CALL", "").split()
        found.append((match.group("name"), " ".join(result),
                      parameter_names(match.group("params")), match.start(), text))
    for cls in CLASS.finditer(text):
        body = cls.group("body")
        for match in MEMBER.finditer(body):
            result = match.group("result").strip()
            found.append(("CVelkor::" + match.group("name"), result,
                          parameter_names(match.group("params")), match.start(), body))
    return [(name, result, params, at, source, where)
            for name, result, params, at, source in found]


def check_declaration(name, result, params, at, source, where):
    """The problems of one declaration's documentation."""
    label = "%s (%s)" % (name, where)
    block = doc_block(source, at)
    if block is None:
        return ["%s: no Doxygen block right above the declaration" % label]
    errors = []
    documented = []
    for direction, names in PARAM.findall(block):
        for param in re.split(r"\s*,\s*", names):
            documented.append(param)
            if direction not in DIRECTIONS:
                errors.append("%s: @param %s gives no direction ([in], [out] or [in,out])"
                              % (label, param))
    for param in params:
        if not param:
            errors.append("%s: a parameter has no name to document" % label)
        elif documented.count(param) == 0:
            errors.append("%s: parameter %s has no @param" % (label, param))
        elif documented.count(param) > 1:
            errors.append("%s: parameter %s documented %d times"
                          % (label, param, documented.count(param)))
    for param in sorted(set(documented) - set(params)):
        errors.append("%s: @param %s names no parameter of the declaration" % (label, param))
    returns = result not in ("", "void")
    if returns and not re.search(r"@returns?\b", block):
        errors.append("%s: returns %s but has no @return" % (label, result))
    if not returns and re.search(r"@returns?\b", block):
        errors.append("%s: returns nothing but has a @return" % label)
    return errors


def listed_exports(path):
    """(name, parameter count or None) for each line of the export list."""
    exports = []
    for line in open(path, encoding="utf-8"):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        match = re.match(r"([\w:=]+)(?:\((.*)\))?$", line)
        if not match:
            continue
        args = match.group(2)
        count = None if args is None else len([a for a in args.split(",") if a.strip()])
        exports.append((match.group(1), count))
    return exports


def main(exports_path, *header_paths):
    errors = []
    library = []
    found = []
    for index, path in enumerate(header_paths):
        text = open(path, encoding="utf-8").read()
        declared = declarations(text, path.rsplit("/", 1)[-1])
        found += declared
        if index < 2:
            library += declared

    by_name = {}
    for name, _, params, *_ in library:
        by_name.setdefault(name, []).append(len(params))
    exports = listed_exports(exports_path)
    for name, count in exports:
        if name not in by_name:
            errors.append("%s: in the export list, declared in no library header" % name)
        elif count is not None and count not in by_name[name]:
            errors.append("%s: %d parameters in the export list, %s in the header"
                          % (name, count, by_name[name]))
    if len(exports) < 100:
        errors.append("only %d functions in the export list" % len(exports))

    for declaration in found:
        errors += check_declaration(*declaration)

    for error in errors:
        print(error)
    print("%d exports, %d declarations checked: %s"
          % (len(exports), len(found), "FAILED" if errors else "ok"))
    return 1 if errors else 0


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
