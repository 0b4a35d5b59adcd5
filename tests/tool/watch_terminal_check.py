#!/usr/bin/env python3
"""inventory --watch in a real terminal: tmux panes of 60, 80 and 200
columns by 24 rows, with 30 tags (more than the screen holds).  While it
runs, the live table fits the pane: no line wider, no row wrapped, the
header on top and the status line with reads per second and the time.
Once it ends, the pane's normal screen holds the final table, and the
history holds the table's header once or twice, not once per redraw."""
import os, re, shutil, subprocess, sys, tempfile, time

tool = sys.argv[1]
ROWS = 24
CASES = [(60, ["--tid", "--decode"]), (80, ["--tid"]), (200, ["--tid", "--decode"])]
TAGS = 30
ELLIPSIS = "\u2026"

if shutil.which("tmux") is None:
    print("tmux is not installed (scripts/install-deps.sh --tests installs it)")
    sys.exit(1)

scratch = tempfile.mkdtemp(prefix="velkor-watch-")
socket = os.path.join(scratch, "tmux.sock")
conf = os.path.join(scratch, "tmux.conf")
with open(conf, "w") as f:
    # The pane stays once the tool has ended, so its screens can be read.
    f.write("set -g remain-on-exit on\nset -g history-limit 10000\nset -g status off\n")


def tmux(*args, check=True):
    return subprocess.run(["tmux", "-S", socket, "-f", conf, *args], check=check,
                          capture_output=True, text=True, env={**os.environ, "TMUX": ""})


def capture(*extra):
    # -J joins a wrapped row into one line, wider than the pane.
    lines = tmux("capture-pane", "-p", "-J", "-t", "watch", *extra).stdout.split("\n")
    while lines and not lines[-1].strip():
        lines.pop()
    return lines


failures = []


def check_lines(what, lines, columns):
    # Wider than the pane: a row that wrapped (or would have).
    for line in lines:
        if len(line) > columns:
            failures.append(f"{columns} columns, {what}: a line of {len(line)}: {line!r}")



def raw_output(columns):
    """The bytes the watch writes to a terminal of its own (a pty)."""
    import fcntl, pty, struct, termios
    try:
        pid, fd = pty.fork()
    except OSError as e:
        # A chroot without /dev/pts has no terminal to give; CTest counts
        # this as skipped, not passed.
        print(f"no pseudo-terminal here ({e}): skipped")
        sys.exit(77)
    if pid == 0:
        os.execv(tool, [tool, "--emulate-tags", str(TAGS), "inventory", "--watch", "--rounds", "5"])
    fcntl.ioctl(fd, termios.TIOCSWINSZ, struct.pack("HHHH", ROWS, columns, 0, 0))
    out = b""
    while True:
        try:
            chunk = os.read(fd, 65536)
        except OSError:
            break
        if not chunk:
            break
        out += chunk
    os.waitpid(pid, 0)
    return out.decode(errors="replace")


try:
    # Redrawn over itself on the alternate screen, never by clearing the
    # whole screen (which terminals keep in their scrollback).
    raw = raw_output(80)
    if "\x1b[H\x1b[J" in raw or "\x1b[2J" in raw:
        failures.append("a redraw clears the whole screen")
    if raw.count("\x1b[?1049h") != 1 or raw.count("\x1b[?1049l") != 1:
        failures.append("the alternate screen is not entered and left once")
    elif raw.index("\x1b[?1049l") > raw.index("done after"):
        failures.append("the summary was written on the alternate screen")
    for columns, options in CASES:
        command = [tool, "--emulate-tags", str(TAGS), "inventory", "--watch", *options,
                   "--duration", "3", "--interval", "50"]
        started = tmux("new-session", "-d", "-s", "watch", "-x", str(columns), "-y", str(ROWS),
                       " ".join(command), check=False)
        if started.returncode != 0:
            # A chroot without /dev/pts has no terminal to give; CTest
            # counts this as skipped, not passed.
            print(f"tmux could not start a terminal here ({started.stderr.strip()}): skipped")
            sys.exit(77)
        tmux("resize-window", "-t", "watch", "-x", str(columns), "-y", str(ROWS), check=False)
        live_seen = 0
        deadline = time.monotonic() + 60
        while time.monotonic() < deadline:
            dead = tmux("display-message", "-p", "-t", "watch", "#{pane_dead}").stdout.strip()
            if dead == "1":
                break
            if tmux("display-message", "-p", "-t", "watch",
                    "#{alternate_on}").stdout.strip() == "1":
                screen = capture()
                if any("reads/s" in l for l in screen):
                    live_seen += 1
                    check_lines("live", screen, columns)
                    if not screen[0].startswith("EPC"):
                        failures.append(f"{columns} columns, live: header gone: {screen[0]!r}")
                    status = [l for l in screen if "reads/s" in l][0]
                    if not re.search(r"\d+ rounds?, \d+ unique tags?, \d+ reads?, [\d.]+ reads/s, "
                                     r"[\d.]+ s", status):
                        failures.append(f"{columns} columns, live: status {status!r}")
                    if not any(re.fullmatch(r"\+\d+ more", l) for l in screen):
                        failures.append(f"{columns} columns, live: no '+N more' on {ROWS} rows")
            time.sleep(0.2)
        else:
            failures.append(f"{columns} columns: the watch did not end")
        if live_seen < 2:
            failures.append(f"{columns} columns: the live table was seen {live_seen} times")
        # The normal screen and its history, with the final table.
        # The last of the output may still be on its way to the pane.
        history, settled = capture("-S", "-"), time.monotonic() + 5
        while time.monotonic() < settled:
            time.sleep(0.2)
            again = capture("-S", "-")
            if again == history:
                break
            history = again
        check_lines("history", history, columns)
        headers = sum(1 for l in history if l.startswith("EPC "))
        if not 1 <= headers <= 2:
            failures.append(f"{columns} columns: the header {headers} times in the history")
        # The summary's line, the header and every tag, the last of them on
        # the screen (the table is longer than the screen).
        done = [i for i, l in enumerate(history) if l.startswith("done after")]
        table = history[done[-1] + 1:] if done else []
        rows = [l for l in table if re.match(r"[0-9A-F]{3,}", l)]
        if not table or not table[0].startswith("EPC ") or len(rows) != TAGS:
            failures.append(f"{columns} columns: no final table:\n" + "\n".join(history))
        screen = capture()
        if not rows or rows[-1] not in screen:
            failures.append(f"{columns} columns: the final table is not on the normal screen")
        if columns == 200 and any(ELLIPSIS in l for l in rows):
            failures.append("200 columns: a row elided with room to spare")
        tmux("kill-session", "-t", "watch")
finally:
    tmux("kill-server", check=False)
    shutil.rmtree(scratch, ignore_errors=True)

print("\n".join(failures) or "the watch fits 60, 80 and 200 columns and leaves one table")
sys.exit(1 if failures else 0)
