#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""What reading a serial line costs: Quorlits beside the serial programs a lab user would pick
instead (CuteCom, tio). Each program reads the slave side of its own pseudo-terminal, all under
one Xvfb; this script writes to the master side.

Three phases per program, SECONDS each: idle (port open, nothing sent), paced (20-byte meter lines
at the rate of 115200 baud, written every 2 ms) and flood (written as fast as the program takes
them). Measured: CPU time of the program's process from /proc, bytes it took, peak RSS.

    tests/bench/peer_bench.py [QUORLITS] [SECONDS]

QUORLITS defaults to build/release/main/quorlits, SECONDS to 10. Needs Debian's cutecom, tio,
tmux, xvfb, xdotool and dbus; prints the apt-get line when one is missing. Prints a Markdown
table; run it three times and take the median of each figure."""
import os
import pty
import select
import shutil
import subprocess
import sys
import tempfile
import time
import tty

TOOLS = {"cutecom": "cutecom", "tio": "tio", "tmux": "tmux", "xvfb-run": "xvfb",
         "xdotool": "xdotool", "dbus-run-session": "dbus"}
LINE = b" 7.01 pH   25.0 \xf8C\r\n"  # one result line of a pH 325 meter
BAUD = 115200
TICK = os.sysconf("SC_CLK_TCK")


class Line:
    """A pseudo-terminal: the program under test opens `path`, the script writes to `master`."""

    def __init__(self):
        self.master, self.slave = pty.openpty()
        tty.setraw(self.slave)
        self.path = os.ttyname(self.slave)
        os.set_blocking(self.master, False)

    def drain(self):
        """Throws away what the program sent back (tio and CuteCom echo nothing, but may)."""
        while True:
            try:
                if not os.read(self.master, 4096):
                    return
            except OSError:
                return

    def close(self):
        for fd in (self.master, self.slave):
            try:
                os.close(fd)
            except OSError:
                pass


def cpu_seconds(pid):
    fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK


def peak_rss_mb(pid):
    for row in open("/proc/%d/status" % pid):
        if row.startswith("VmHWM"):
            return int(row.split()[1]) / 1024
    return 0.0


def idle(line, pid, secs):
    start = cpu_seconds(pid)
    time.sleep(secs)
    return cpu_seconds(pid) - start, 0


def paced(line, pid, secs):
    """Meter lines at the byte rate of the baud rate; what the program does not take in time is
    not written again, so `sent` counts only what it took."""
    rate = BAUD / 10.0
    start, t0, sent = cpu_seconds(pid), time.time(), 0
    while time.time() - t0 < secs:
        due = int((time.time() - t0) * rate)
        while sent + len(LINE) <= due:
            try:
                n = os.write(line.master, LINE)
            except BlockingIOError:
                break
            sent += n
            if n < len(LINE):
                break
        time.sleep(0.002)
    time.sleep(0.5)
    return cpu_seconds(pid) - start, sent


def flood(line, pid, secs):
    block = LINE * 256
    start, t0, sent = cpu_seconds(pid), time.time(), 0
    while time.time() - t0 < secs:
        _, writable, _ = select.select([], [line.master], [], 0.1)
        if writable:
            try:
                sent += os.write(line.master, block)
            except BlockingIOError:
                pass
    time.sleep(0.5)
    return cpu_seconds(pid) - start, sent


class Stopper:
    """Ends what a start function began: a process, or a tmux server."""

    def __init__(self, process=None, tmux_socket=None):
        self.process, self.tmux_socket = process, tmux_socket

    def stop(self):
        if self.tmux_socket:
            subprocess.run(["tmux", "-L", self.tmux_socket, "kill-server"], check=False)
            return
        self.process.terminate()
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            self.process.kill()


def click(x, y):
    subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)


def start_quorlits(binary):
    """The program from a folder of its own (its PHRX.CFG goes there), without the accessibility
    bridge, as the peers run. "RS232 Lesen" is the first button at the window's top left."""

    def start(line):
        folder = tempfile.mkdtemp(prefix="peer-quorlits-")
        exe = os.path.join(folder, "quorlits")
        shutil.copy2(binary, exe)
        env = dict(os.environ, QT_QPA_PLATFORM="xcb")
        env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
        p = subprocess.Popen([exe, "--port", line.path], cwd=folder, env=env,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                                 "^Quorlits "], capture_output=True, text=True,
                                timeout=20).stdout.split()[0]
        geometry = subprocess.run(["xdotool", "getwindowgeometry", window], capture_output=True,
                                  text=True).stdout
        x, y = (int(v) for v in geometry.split("Position:")[1].split()[0].split(","))
        time.sleep(0.5)
        click(x + 50, y + 16)
        time.sleep(0.5)
        return Stopper(process=p), p.pid

    return start


def start_tio(line):
    """tio needs a terminal: it runs in a detached tmux session."""
    socket = "peer-%d" % os.getpid()
    subprocess.run(["tmux", "-L", socket, "new-session", "-d", "-x", "120", "-y", "40",
                    "tio -b %d %s" % (BAUD, line.path)], check=True)
    time.sleep(1.0)
    pid = int(subprocess.run(["pgrep", "-n", "-x", "tio"], capture_output=True,
                             text=True).stdout.split()[0])
    return Stopper(tmux_socket=socket), pid


def start_cutecom(line):
    """CuteCom reads its session from a fresh home; its window opens at the top left with "Open"
    as its first button."""
    home = tempfile.mkdtemp(prefix="peer-cutecom-")
    config = os.path.join(home, ".config", "CuteCom")
    os.makedirs(config)
    with open(os.path.join(config, "CuteCom5.conf"), "w") as f:
        f.write("[sessions]\n1\\BaudRate=%d\n1\\DataBits=8\n1\\Device=%s\n1\\FlowControl=0\n"
                "1\\OpenMode=3\n1\\Parity=0\n1\\StopBits=1\n1\\name=Default\n"
                "1\\showCtrlCharacters=false\n1\\showTimestamp=false\nsize=1\n"
                % (BAUD, line.path))
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               QT_QPA_PLATFORM="xcb")
    p = subprocess.Popen(["cutecom"], env=env, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL)
    time.sleep(3.0)
    click(50, 43)
    time.sleep(1.0)
    return Stopper(process=p), p.pid


def measure(name, start, secs):
    line = Line()
    print("%s: starting" % name, file=sys.stderr, flush=True)
    stopper, pid = start(line)
    try:
        time.sleep(2.0)
        figures = {"name": name}
        for phase in (idle, paced, flood):
            print("%s: %s" % (name, phase.__name__), file=sys.stderr, flush=True)
            figures[phase.__name__] = phase(line, pid, secs)
            line.drain()
        figures["rss"] = peak_rss_mb(pid)
        return figures
    finally:
        stopper.stop()
        line.close()


def table(rows, secs):
    offered = BAUD / 10.0 * secs
    print("| program | idle CPU ms / %gs | paced: bytes taken | paced: CPU %% of a core "
          "| flood: MB/s taken | flood: CPU %% | peak RSS MB |" % secs)
    print("|---|---|---|---|---|---|---|")
    for r in rows:
        print("| %s | %.1f | %.0f %% | %.1f | %.2f | %.0f | %.0f |" % (
            r["name"], r["idle"][0] * 1000, 100 * r["paced"][1] / offered,
            100 * r["paced"][0] / secs, r["flood"][1] / secs / 1e6, 100 * r["flood"][0] / secs,
            r["rss"]), flush=True)


def main():
    missing = sorted({pkg for tool, pkg in TOOLS.items() if not shutil.which(tool)})
    if missing:
        sys.exit("missing: apt-get install -y " + " ".join(missing))
    if not os.environ.get("PEER_BENCH_IN_XVFB"):
        os.environ["PEER_BENCH_IN_XVFB"] = "1"
        os.execvp("xvfb-run", ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24",
                               "dbus-run-session", "--", sys.executable,
                               os.path.abspath(__file__), *sys.argv[1:]])
    here = os.path.dirname(os.path.abspath(__file__))
    binary = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                             os.path.join(here, "..", "..", "build", "release", "main", "quorlits"))
    secs = float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
    rows = []
    for name, start in (("Quorlits (RS232 Lesen)", start_quorlits(binary)),
                        ("tio (in tmux)", start_tio), ("CuteCom", start_cutecom)):
        try:
            rows.append(measure(name, start, secs))
        except Exception as error:  # one program that fails to start leaves the others' rows
            print("%s: %s" % (name, error), flush=True)
    table(rows, secs)


if __name__ == "__main__":
    main()
