#!/usr/bin/env python3
"""The generated completions offer every subcommand the tool lists in its
help, at the top and one level down, and `cmake --install` puts the man page
and the completions where the shells look."""
import gzip, os, re, subprocess, sys, tempfile

tool, build_dir = sys.argv[1], sys.argv[2]

def subcommands(*path):
    text = subprocess.run([tool, *path, "--help"], capture_output=True, text=True).stdout
    part = text.split("Subcommands:")[1] if "Subcommands:" in text else ""
    part = part.split("\nExamples:")[0]
    return {m.group(1) for m in re.finditer(r"^  (\S+)", part, re.M)}

def bash_offers(script, path):
    words = " ".join(["velkor", *path, "''"])
    run = f'source {script}; COMP_WORDS=({words}); COMP_CWORD={len(path) + 1}; _velkor; echo "${{COMPREPLY[@]}}"'
    return set(subprocess.run(["bash", "-c", run], capture_output=True, text=True).stdout.split())

failures = []
with tempfile.TemporaryDirectory() as prefix:
    subprocess.run(["cmake", "--install", build_dir, "--component", "tools", "--prefix", prefix],
                   check=True, capture_output=True)
    share = os.path.join(prefix, "share")
    files = {"man": "man/man1/velkor.1.gz", "bash": "bash-completion/completions/velkor",
             "zsh": "zsh/vendor-completions/_velkor", "fish": "fish/vendor_completions.d/velkor.fish"}
    for name, rel in files.items():
        if not os.path.isfile(os.path.join(share, rel)):
            failures.append(f"{name}: {rel} not installed")
    script = os.path.join(share, files["bash"])
    top = subcommands()
    if len(top) < 10:
        failures.append(f"the help lists only {sorted(top)}")
    for path in [[]] + [[c] for c in sorted(top)]:
        wanted = subcommands(*path)
        missing = wanted - bash_offers(script, path)
        if missing:
            failures.append(f"bash after {path}: {sorted(missing)} not offered")
    fish = open(os.path.join(share, files["fish"])).read()
    zsh = open(os.path.join(share, files["zsh"])).read()
    man = gzip.open(os.path.join(share, files["man"]), "rt").read().replace("\\-", "-")
    summary = subprocess.run([tool, "--help"], capture_output=True, text=True).stdout.split("\n")[0]
    if f".SH NAME\nvelkor - {summary.removeprefix('velkor: ')}\n" not in man:
        failures.append(f"man: the NAME line is not 'velkor - ' and the help's summary: "
                        f"{man.split('.SH NAME')[1][:80]!r}")
    for command in top:
        if f"-a '{command}'" not in fish: failures.append(f"fish: {command} not offered")
        if not re.search(rf"offer=\([^)]*\b{re.escape(command)}\b", zsh): failures.append(f"zsh: {command} not offered")
        if f"COMMAND \\fB{command}" not in man: failures.append(f"man: {command} not described")
print("\n".join(failures) or "every subcommand offered")
sys.exit(1 if failures else 0)
