#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Quorlits developers
"""A full outbox never stalls a bench: a logger publishes into a small outbox while no broker runs.

One logger (quorlits --headless --publish, outbox limit 64 KB) reads meter-sim (50 records a
second) for a while with no broker at all, so its outbox overflows many times and drops its
oldest messages. Then Mosquitto and quorlits-sammler start and the meter goes on for a while.
Checks, from the database and the files:

- once readings saved after the broker came back arrive, every later one stands in `readings`,
  once (the first seconds may still overflow the tiny outbox until acknowledgements flow);
- nothing vanished without a trace: for the measurement, the seqs of `readings` and `events`
  and the ranges of `gaps` together cover 1 .. the highest seq, and `gaps` holds at least one;
- the outbox drains to nothing;
- readings saved after the broker came back reached the database within seconds.

    tests/e2e/ausgang_voll_e2e.py [--build build/dev] [--offline 60] [--online 20]

Exit status 1 when a check fails. Prints the figures.
"""
import argparse
import os
import pathlib
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "bench"))
import viele_arbeitsplaetze as va  # noqa: E402

def argumente():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=str(va.WURZEL / "build" / "dev"))
    parser.add_argument("--offline", type=float, default=60.0, help="seconds without a broker")
    parser.add_argument("--online", type=float, default=20.0, help="seconds with broker")
    parser.add_argument("--limit", default="64 KB", help="the outbox limit (OutboxGrenze)")
    return parser.parse_args()


def programm_mit_konfiguration(build, ordner, grenze):
    """A copy of the program with its own quorlits.conf beside it (the program reads the file
    beside itself when it is not installed), so the test changes nothing in the build folder."""
    ziel = ordner / "bin"
    ziel.mkdir()
    shutil.copy2(build / "main" / "quorlits", ziel / "quorlits")
    (ziel / "quorlits.conf").write_text(f"[Veroeffentlichen]\nOutboxGrenze={grenze}\n")
    return ziel / "quorlits"


def datenzeilen(pfad):
    """The line numbers (1-based) of the record lines of a data file."""
    nummern = []
    zeilen = pfad.read_bytes().decode("cp1252").split("\r\n")
    for nummer, zeile in enumerate(zeilen, start=1):
        felder = zeile.split("\t")
        if len(felder) in (6, 10) and felder[0].count(".") == 2 and felder[0][0] != "P":
            nummern.append(nummer)
    return nummern


def angekommen(postgres, zeile):
    """Whether a reading of the data file's line or a later one stands in readings (False while
    the collector has not yet made its tables)."""
    try:
        return postgres.abfrage(f"SELECT 1 FROM readings WHERE line >= {zeile} LIMIT 1") != []
    except subprocess.CalledProcessError:
        return False


def luecken_frei(postgres):
    """Per measurement: the seqs 1 .. max not covered by readings, events or gaps."""
    fehlend = {}
    gedeckt = {}
    for tabelle in ("readings", "events"):
        for messung, seq in postgres.abfrage(f"SELECT measurement, seq FROM {tabelle}"):
            gedeckt.setdefault(messung, set()).add(int(seq))
    for messung, von, bis in postgres.abfrage("SELECT measurement, from_seq, to_seq FROM gaps"):
        gedeckt.setdefault(messung, set()).update(range(int(von), int(bis) + 1))
    for messung, seqs in gedeckt.items():
        luecken = set(range(1, max(seqs) + 1)) - seqs
        if luecken:
            fehlend[messung] = sorted(luecken)
    return fehlend


def main():
    args = argumente()
    build = pathlib.Path(args.build)
    ordner = pathlib.Path(tempfile.mkdtemp(prefix="quorlits-ausgang-voll-"))
    os.chmod(ordner, 0o711)
    prozesse = []
    postgres = None
    broker = None
    try:
        postgres = va.Postgres(ordner, False)
        broker = va.Mosquitto(ordner)
        broker.signal(signal.SIGTERM)  # the bench starts with no broker at all
        programm = programm_mit_konfiguration(build, ordner, args.limit)
        sim_log = ordner / "sim.log"
        sim = subprocess.Popen(
            [str(build / "tools" / "meter-sim" / "meter-sim"), "--interval", "20", "--baud",
             "0", "--mode", "mixed", "--quantity", "mixed"],
            stdout=open(sim_log, "w"), stderr=subprocess.DEVNULL)
        prozesse.append(sim)
        va.warten(lambda: "\n" in sim_log.read_text(), 20, "meter-sim nennt kein Gerät")
        port = sim_log.read_text().split("\n", 1)[0]
        zustand = ordner / "state"
        umgebung = dict(os.environ, XDG_STATE_HOME=str(zustand))
        for weg in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
            umgebung.pop(weg, None)
        daten = ordner / "daten.txt"
        logger = subprocess.Popen(
            [str(programm), "--headless", "--quiet", "--port", port, "--data-file", str(daten),
             "--publish", broker.url(), "--bench", "bank1"],
            env=umgebung, stdout=subprocess.DEVNULL, stderr=open(ordner / "logger.err", "w"))
        prozesse.append(logger)
        print(f"{args.offline:.0f} s ohne Broker, Ausgang höchstens {args.limit}", flush=True)
        time.sleep(args.offline)

        bisher = datenzeilen(daten)
        vorher = len(bisher)
        erste = bisher[-1] + 1  # saved after the broker came back: this line and later ones
        stau = va.wartend_bytes(zustand)
        beginn = time.monotonic()
        broker.starten()
        sammler = subprocess.Popen(
            [str(build / "collector" / "quorlits-sammler"), "--broker", broker.url(),
             "--database", postgres.verbindung()],
            stdout=subprocess.DEVNULL, stderr=open(ordner / "sammler.err", "w"))
        prozesse.append(sammler)
        va.warten(lambda: angekommen(postgres, erste), 60,
                  "der erste Messwert nach dem Broker-Start kommt nicht an")
        ankunft = time.monotonic() - beginn
        rest = args.online - ankunft
        if rest > 0:
            time.sleep(rest)
        sim.terminate()
        sim.wait()
        va.warten(lambda: va.wartend_bytes(zustand) == 0, 180, "der Ausgang leert sich nicht")
        abfluss = time.monotonic() - beginn
        logger.send_signal(signal.SIGTERM)
        logger.wait(timeout=30)

        zeilen = datenzeilen(daten)
        in_db = {int(z) for (z,) in postgres.abfrage("SELECT line FROM readings")}
        wieder = min(z for z in in_db if z >= erste)
        nachher = {z for z in zeilen if z >= wieder}
        fehlt = sorted(nachher - in_db)
        luecken = luecken_frei(postgres)
        gaps = postgres.abfrage("SELECT from_seq, to_seq, reason FROM gaps ORDER BY from_seq")
        print(f"Messwerte in der Datendatei: {len(zeilen)}, {len(zeilen) - vorher} nach dem "
              f"Broker-Start, {len(nachher)} ab dem ersten, der ankam (Zeile {wieder}); in "
              f"readings: {len(in_db)}; Lücken gespeichert: {len(gaps)}")
        print(f"Ausgang beim Broker-Start: {stau} Bytes; erster neuer Messwert nach "
              f"{ankunft:.1f} s in der Datenbank; Ausgang leer nach {abfluss:.1f} s")
        fehler = []
        if fehlt:
            fehler.append(f"{len(fehlt)} Messwerte nach der Rückkehr fehlen, z. B. Zeilen "
                          f"{fehlt[:5]}")
        if luecken:
            fehler.append(f"seqs ohne Messwert, Ereignis oder Lücke: {list(luecken.items())[:2]}")
        if stau == 0:
            fehler.append("beim Broker-Start lag nichts im Ausgang (kein Segment gefunden)")
        if not gaps:
            fehler.append("keine Lücke gespeichert, obwohl der Ausgang überlief")
        doppelt = postgres.abfrage("SELECT line FROM readings GROUP BY line HAVING count(*) > 1")
        if doppelt:
            fehler.append(f"Datenzeilen mehrfach in readings: {doppelt[:5]}")
        for text in fehler:
            print("FEHLER: " + text)
        print(f"{int(not fehler)} passed, {int(bool(fehler))} failed")
        return 1 if fehler else 0
    finally:
        for prozess in prozesse:
            if prozess.poll() is None:
                prozess.kill()
                prozess.wait()
        if broker and broker.prozess.poll() is None:
            broker.signal(signal.SIGKILL)
        if postgres:
            try:
                postgres.ctl("stop")
            except subprocess.CalledProcessError:
                pass
        va.ordner_aufraeumen(ordner)


if __name__ == "__main__":
    sys.exit(main())
