#!/usr/bin/env python3
"""inventory --watch in a terminal of 8 rows and 60 columns, with 12 tags:
every redraw keeps its header on top, fits the screen with a "+N more"
line, and its status line never wraps."""
import fcntl, os, pty, re, struct, sys, termios

tool = sys.argv[1]
ROWS, COLUMNS = 8, 60
try:
    pid, fd = pty.fork()
except OSError as e:
    # A chroot without /dev/pts has no terminal to give; CTest counts this as
    # skipped, not passed.
    print(f"no pseudo-terminal here ({e}): skipped")
    sys.exit(77)
if pid == 0:
    os.execv(tool, [tool, "--emulate-tags", "12", "inventory", "--watch", "--rounds", "4"])
fcntl.ioctl(fd, termios.TIOCSWINSZ, struct.pack("HHHH", ROWS, COLUMNS, 0, 0))
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
text = out.decode(errors="replace").replace("\r\n", "\n")
frames = text.split("\x1b[H\x1b[J")[1:]
failures = []
redraws = frames[:-1]  # the last clear is followed by the summary
if len(redraws) < 2:
    failures.append(f"{len(redraws)} redraws in {text!r}")
for n, frame in enumerate(redraws):
    lines = frame.split("\n")
    if not lines[0].startswith("EPC"):
        failures.append(f"redraw {n}: header gone: {lines[0]!r}")
    if len(lines) > ROWS:
        failures.append(f"redraw {n}: {len(lines)} lines on {ROWS} rows")
    if not any(re.fullmatch(r"\+\d+ more", l) for l in lines):
        failures.append(f"redraw {n}: no '+N more' line")
    if any(len(l) > COLUMNS for l in lines):
        failures.append(f"redraw {n}: a line wraps: {max(lines, key=len)!r}")
if "done after 4 rounds" not in frames[-1] if frames else True:
    failures.append("no summary")
print("\n".join(failures) or f"{len(redraws)} redraws fit the terminal")
sys.exit(1 if failures else 0)
