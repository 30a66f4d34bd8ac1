#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""How fast the logger without a window takes its device back: the headless logger measures on a
link to meter-sim's pseudo-terminal; the simulator is ended (the line is lost, the link goes),
and a new simulator makes the link again. Measured per round: from the moment the link is there
again (the new simulator's start) until the logger says "Das Gerät ist wieder da". Prints the figures; asserts nothing.

    tests/bench/logger_rueckkehr.py [QUORLITS] [METER_SIM] [ROUNDS]
"""
import os
import select
import statistics
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
build = os.path.join(here, "..", "..", "build", "dev")
program = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else os.path.join(build, "main", "quorlits")
simulator = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else os.path.join(build, "tools", "meter-sim",
                                                               "meter-sim")
rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 10


def start_simulator(link):
    sim = subprocess.Popen([simulator, "--interval", "200", "--link", link],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    sim.stdout.readline()  # the device: the link exists from now on
    return sim


def wait_for(stream, text, limit):
    """Reads the logger's messages until one holds `text`; the time it came, or None."""
    buffered = b""
    end = time.monotonic() + limit
    while time.monotonic() < end:
        ready, _, _ = select.select([stream], [], [], 0.05)
        if ready:
            chunk = os.read(stream.fileno(), 4096)
            if not chunk:
                return None
            buffered += chunk
            if text.encode() in buffered:
                return time.monotonic()
    return None


with tempfile.TemporaryDirectory() as folder:
    link = os.path.join(folder, "messgeraet")
    sim = start_simulator(link)
    logger = subprocess.Popen([program, "--headless", "--quiet", "--port", link, "--data-file",
                               os.path.join(folder, "daten.txt")],
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, cwd=folder,
                              env={k: v for k, v in os.environ.items()
                                   if k not in ("DISPLAY", "WAYLAND_DISPLAY")})
    wait_for(logger.stderr, "läuft", 10)
    times = []
    for _ in range(rounds):
        time.sleep(0.5)
        sim.terminate()
        sim.wait()
        wait_for(logger.stderr, "gewartet", 10)
        time.sleep(0.3)
        # From the start of the new simulator: its link appears within its first milliseconds,
        # and the logger may already answer before the simulator has told its device.
        back = time.monotonic()
        sim = start_simulator(link)
        seen = wait_for(logger.stderr, "wieder da", 10)
        if seen is not None:
            times.append((seen - back) * 1000)
    logger.terminate()
    logger.wait()
    sim.terminate()
    sim.wait()

times.sort()
print("logger, link back until \"wieder da\": %d of %d rounds" % (len(times), rounds))
if times:
    print("  median %.0f ms, min %.0f ms, max %.0f ms" % (statistics.median(times), times[0],
                                                         times[-1]))
