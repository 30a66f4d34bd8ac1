#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Quorlits developers
"""Soak run: meter-sim sends 50 records a second (--interval 20 --baud 0) into the main window
(dauerlauf_treiber, offscreen) with immediate saving on, for 30 minutes unless --minuten says
otherwise. The resident memory of the window's process is sampled every 10 s. At the end every
record meter-sim logged must stand in the data file exactly once, in order, and the memory may
grow by less than 1 MB after the first minute. Prints the figures; the exit status is 1 when a
record is missing, doubled or different, or when the memory grew by 1 MB or more.

    tests/bench/dauerlauf.py [--build build/dev] [--minuten 30]

Uses an existing build with the benchmarks (targets meter-sim and dauerlauf_treiber).
"""
import argparse
import os
import pathlib
import signal
import subprocess
import sys
import tempfile
import time

WURZEL = pathlib.Path(__file__).resolve().parents[2]
ABTASTUNG_S = 10
GRENZE_KB = 1024


def argumente():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=str(WURZEL / "build" / "dev"))
    parser.add_argument("--minuten", type=float, default=30.0)
    return parser.parse_args()


def rss_kb(pid):
    with open(f"/proc/{pid}/status", encoding="ascii") as status:
        for zeile in status:
            if zeile.startswith("VmRSS:"):
                return int(zeile.split()[1])
    raise RuntimeError("VmRSS fehlt")


def erste_zeile(datei, prozess, frist_s=20.0):
    """Waits for the first line a child writes to `datei`."""
    ende = time.monotonic() + frist_s
    while time.monotonic() < ende:
        inhalt = pathlib.Path(datei).read_text(encoding="utf-8", errors="replace")
        if "\n" in inhalt:
            return inhalt.split("\n", 1)[0]
        if prozess.poll() is not None:
            break
        time.sleep(0.05)
    raise RuntimeError(f"keine Ausgabe von {prozess.args[0]}")


def warten_bis_ruhig(ordner, ruhe_s=3.0, frist_s=60.0):
    """Waits until the data files in `ordner` have not grown for `ruhe_s` seconds."""
    def groesse():
        return sum(p.stat().st_size for p in ordner.iterdir() if p.suffix[1:].isdigit())
    ende = time.monotonic() + frist_s
    zuletzt, seit = groesse(), time.monotonic()
    while time.monotonic() < ende and time.monotonic() - seit < ruhe_s:
        time.sleep(0.2)
        if (jetzt := groesse()) != zuletzt:
            zuletzt, seit = jetzt, time.monotonic()


def gesendet(protokoll):
    """meter-sim's record log: one (value, unit, temperature) per plain result line."""
    saetze = []
    for zeile in protokoll.splitlines()[1:]:
        felder = zeile.split("\t")
        if len(felder) != 4 or felder[0] != "Zeile":
            raise RuntimeError(f"unerwartete Protokollzeile: {zeile!r}")
        # The data file's Windows-1252 "µ" (0xB5) reads as the log's "µ" in Latin-1.
        saetze.append((felder[1], felder[2], felder[3]))
    return saetze


def gespeichert(datei):
    """The data file's record lines as (value, unit, temperature) text fields."""
    inhalt = pathlib.Path(datei).read_bytes().decode("latin-1")
    if inhalt and not inhalt.endswith("\r\n"):
        raise RuntimeError("die Datei endet nicht mit CR LF")
    zeilen = inhalt.split("\r\n")[:-1]
    if not zeilen or not zeilen[0].startswith("PC-Datum\t"):
        raise RuntimeError("die Kopfzeile fehlt")
    saetze = []
    for zeile in zeilen[1:]:
        felder = zeile.split("\t")
        if len(felder) != 6:
            raise RuntimeError(f"Zeile mit {len(felder)} Feldern: {zeile!r}")
        saetze.append((felder[2], felder[3], felder[4]))
    return saetze


def zahl(text):
    return float(text.replace(",", "."))


def passt(zeile, satz):
    """The line holds the record: units alike, numbers equal to the file's two decimals."""
    return (zeile[1] == satz[1] and abs(zahl(zeile[0]) - float(satz[0])) <= 0.005 + 1e-9
            and abs(zahl(zeile[2]) - float(satz[2])) <= 0.005 + 1e-9)


def vergleichen(zeilen, saetze):
    """Walks both in order; returns (missing, doubled, different) counts."""
    fehlend = doppelt = anders = 0
    i = j = 0
    while i < len(zeilen) and j < len(saetze):
        if passt(zeilen[i], saetze[j]):
            i += 1
            j += 1
        elif j > 0 and passt(zeilen[i], saetze[j - 1]):
            doppelt += 1
            i += 1
        elif j + 1 < len(saetze) and passt(zeilen[i], saetze[j + 1]):
            fehlend += 1
            j += 1
        else:
            anders += 1
            i += 1
            j += 1
    return fehlend + (len(saetze) - j), doppelt + (len(zeilen) - i), anders


def main():
    args = argumente()
    build = pathlib.Path(args.build).resolve()
    simulator = build / "tools" / "meter-sim" / "meter-sim"
    treiber = build / "tests" / "bench" / "dauerlauf_treiber"
    for programm in (simulator, treiber):
        if not programm.exists():
            sys.exit(f"{programm} fehlt; zuerst meter-sim und dauerlauf_treiber bauen.")
    dauer_s = args.minuten * 60.0
    ordner = pathlib.Path(tempfile.mkdtemp(prefix="quorlits-dauerlauf-"))
    sim_aus = ordner / "meter-sim.log"
    treiber_aus = ordner / "treiber.log"
    treiber_fehler = ordner / "treiber-stderr.log"
    umgebung = dict(os.environ, QT_QPA_PLATFORM="offscreen")

    with (open(sim_aus, "w") as sim_datei, open(treiber_aus, "w") as treiber_datei,
          open(treiber_fehler, "w") as fehler_datei):
        sim = subprocess.Popen([str(simulator), "--interval", "20", "--baud", "0", "--mode",
                                "plain", "--quantity", "mixed", "--print-records"],
                               stdout=sim_datei, stderr=subprocess.DEVNULL)
        geraet = erste_zeile(sim_aus, sim)
        programm = subprocess.Popen([str(treiber), geraet], cwd=ordner, env=umgebung,
                                    stdout=treiber_datei, stderr=fehler_datei)
        if erste_zeile(treiber_aus, programm) != "BEREIT":
            sim.terminate()
            sys.exit(treiber_fehler.read_text())
        beginn = time.monotonic()
        proben = []  # (seconds since the start, RSS in kB)
        print(f"Dauerlauf {args.minuten:g} min an {geraet}, Ordner {ordner}", flush=True)
        while (jetzt := time.monotonic() - beginn) < dauer_s:
            proben.append((jetzt, rss_kb(programm.pid)))
            if len(proben) % 30 == 0:
                print(f"  {jetzt / 60:5.1f} min: RSS {proben[-1][1]} kB", flush=True)
            time.sleep(min(ABTASTUNG_S, max(0.0, dauer_s - jetzt)))
        proben.append((time.monotonic() - beginn, rss_kb(programm.pid)))
        # meter-sim pauses with its line open, so nothing is sent that the window cannot take
        # any more; what is on the way is read before the measurement ends.
        sim.send_signal(signal.SIGSTOP)
        warten_bis_ruhig(ordner)
        programm.send_signal(signal.SIGTERM)
        programm.wait(timeout=60)
        # Killed while it stands, so it logs no record after the window stopped reading.
        sim.kill()
        sim.wait(timeout=30)

    ausgabe = dict(z.split("\t", 1) for z in treiber_aus.read_text().splitlines() if "\t" in z)
    saetze = gesendet(sim_aus.read_text(encoding="utf-8"))
    zeilen = gespeichert(ausgabe["DATEI"])
    fehlend, doppelt, anders = vergleichen(zeilen, saetze)
    nach_minute = next(kb for t, kb in proben if t >= 60) if dauer_s > 60 else proben[0][1]
    ende_kb = proben[-1][1]
    wachstum = ende_kb - nach_minute
    print(f"Datensätze gesendet (meter-sim):   {len(saetze)}")
    print(f"Zeilen in der Datendatei:          {len(zeilen)} (Zähler des Fensters "
          f"{ausgabe.get('GESPEICHERT')})")
    print(f"fehlend / doppelt / abweichend:    {fehlend} / {doppelt} / {anders}")
    print(f"Fehlermeldungen:                   {ausgabe.get('FEHLERMELDUNGEN')}")
    print(f"RSS nach 1 min / am Ende / höchst: {nach_minute} / {ende_kb} / "
          f"{max(kb for _, kb in proben)} kB (Zuwachs {wachstum:+d} kB)")
    meldungen = [z for z in treiber_fehler.read_text().splitlines() if "Fehlermeldung" in z]
    for zeile in meldungen[:10]:
        print(zeile)
    print(f"Ordner: {ordner}")
    gut = fehlend == doppelt == anders == 0 and wachstum < GRENZE_KB
    sys.exit(0 if gut else 1)


if __name__ == "__main__":
    main()
