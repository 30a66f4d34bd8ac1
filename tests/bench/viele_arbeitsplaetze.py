#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Quorlits developers
"""Many benches into one database: loggers publish through Mosquitto to quorlits-sammler and PostgreSQL.

Each logger (quorlits --headless --publish) reads its own meter-sim (50 records a second by
default) into a data file while, in turn, the broker is killed and restarted, the broker stops
answering for a while (SIGSTOP, as a network cut without a reset), the collector is killed with
SIGKILL and restarted, one logger is killed with SIGKILL and restarted with --append, and
PostgreSQL restarts. At the end the meter-sims stop, the outboxes drain, the loggers end, and
every record line of every data file must stand in the table readings exactly once (bench,
value, unit, date and time), nothing else, and every outbox must be empty.

Prints the figures: readings, latency from the reading's stamp to its commit (p50, p99), and
with --outage the time the outboxes took to drain after the broker was away that long.

    tests/bench/viele_arbeitsplaetze.py [--build build/dev] [--loggers 3] [--interval 20]
        [--seconds 120] [--no-faults] [--outage SECONDS] [--fsync]

Starts real Mosquitto and PostgreSQL (initdb and pg_ctl as "nobody" when run as root, a Unix
socket only) in a temporary folder. Exit status 1 when a reading is missing, doubled or
foreign, or an outbox is not empty.
"""
import argparse
import collections
import os
import pathlib
import pwd
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

WURZEL = pathlib.Path(__file__).resolve().parents[2]
AUSGANG_KOPF = len(b"QUORLITS-AUSGANG 1\n")


def segmente(zustand):
    """The segment files of every outbox under the state folder (a folder per bench and meter)."""
    return list((zustand / "quorlits" / "ausgang").glob("*/*/*.seg"))


def wartend_bytes(zustand):
    """Bytes of records in the outboxes (a segment holds its header and its records)."""
    return sum(p.stat().st_size - AUSGANG_KOPF for p in segmente(zustand))


def argumente():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=str(WURZEL / "build" / "dev"))
    parser.add_argument("--loggers", type=int, default=3)
    parser.add_argument("--interval", type=int, default=20, help="ms between records")
    parser.add_argument("--seconds", type=float, default=120.0)
    parser.add_argument("--no-faults", dest="faults", action="store_false")
    parser.add_argument("--outage", type=float, default=0.0,
                        help="broker away this many seconds, then the drain is timed")
    parser.add_argument("--fsync", action="store_true", help="PostgreSQL with fsync on")
    return parser.parse_args()


def freier_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def warten(bedingung, frist_s, was):
    ende = time.monotonic() + frist_s
    while time.monotonic() < ende:
        if bedingung():
            return
        time.sleep(0.05)
    raise RuntimeError("Zeitüberschreitung: " + was)


def ordner_aufraeumen(ordner):
    """Removes a run's folder, unless QUORLITS_BEHALTEN asks to keep it for a look."""
    if "QUORLITS_BEHALTEN" in os.environ:
        print(f"Ordner bleibt: {ordner}")
    else:
        shutil.rmtree(ordner, ignore_errors=True)


def als_nobody(befehl):
    if os.geteuid() == 0:
        return ["runuser", "-u", "nobody", "--"] + befehl
    return befehl


class Postgres:
    def __init__(self, ordner, fsync):
        self.bin = max(pathlib.Path("/usr/lib/postgresql").glob("*/bin"))
        self.daten = ordner / "pg"
        self.socket = ordner / "pgsock"
        self.fsync = fsync
        for teil in (self.daten, self.socket):
            teil.mkdir()
            if os.geteuid() == 0:
                nobody = pwd.getpwnam("nobody")
                os.chown(teil, nobody.pw_uid, nobody.pw_gid)
        subprocess.run(als_nobody([str(self.bin / "initdb"), "-D", str(self.daten), "-U",
                                   "quorlits", "-A", "trust", "-E", "UTF8", "--locale=C",
                                   "--no-sync"]), check=True, stdout=subprocess.DEVNULL)
        self.ctl("start")

    def ctl(self, befehl):
        optionen = f"-c listen_addresses= -k {self.socket}"
        if not self.fsync:
            optionen += " -c fsync=off"
        subprocess.run(als_nobody([str(self.bin / "pg_ctl"), "-D", str(self.daten), "-l",
                                   str(self.socket / "log"), "-w", "-m", "fast", "-o", optionen,
                                   befehl]), check=True, stdout=subprocess.DEVNULL)

    def verbindung(self):
        return f"host={self.socket} user=quorlits dbname=postgres"

    def abfrage(self, sql):
        ergebnis = subprocess.run([str(self.bin / "psql"), self.verbindung(), "-XAtF", "\t", "-c",
                                   sql], check=True, capture_output=True, text=True)
        return [zeile.split("\t") for zeile in ergebnis.stdout.splitlines() if zeile]


class Mosquitto:
    def __init__(self, ordner):
        self.port = freier_port()
        self.konf = ordner / "mosquitto.conf"
        benutzer = pwd.getpwuid(os.geteuid()).pw_name
        self.konf.write_text(f"listener {self.port} 127.0.0.1\nallow_anonymous true\n"
                             f"persistence true\npersistence_location {ordner}/\n"
                             f"max_queued_messages 0\nuser {benutzer}\n"
                             f"log_dest file {ordner}/mosquitto.log\n")
        self.prozess = None
        self.starten()

    def starten(self):
        self.prozess = subprocess.Popen(["/usr/sbin/mosquitto", "-c", str(self.konf)],
                                        stderr=subprocess.DEVNULL)

        def offen():
            with socket.socket() as s:
                return s.connect_ex(("127.0.0.1", self.port)) == 0
        warten(offen, 30, "mosquitto nimmt keine Verbindung an")

    def signal(self, nummer):
        self.prozess.send_signal(nummer)
        if nummer in (signal.SIGKILL, signal.SIGTERM):
            self.prozess.wait()

    def url(self):
        return f"mqtt://127.0.0.1:{self.port}"


class Lauf:
    """Everything of one run: its folder, services, collector and loggers."""

    def __init__(self, args, ordner):
        self.args = args
        self.ordner = ordner
        self.build = pathlib.Path(args.build)
        self.postgres = Postgres(ordner, args.fsync)
        self.broker = Mosquitto(ordner)
        self.sammler = None
        self.sammler_starten()
        self.sims = []
        self.logger = []
        self.zustand = ordner / "state"
        for nummer in range(args.loggers):
            self.sims.append(self.simulator(nummer))
            self.logger.append(self.logger_starten(nummer, anhaengen=False))

    def sammler_starten(self):
        self.sammler = subprocess.Popen(
            [str(self.build / "collector" / "quorlits-sammler"), "--broker", self.broker.url(),
             "--database", self.postgres.verbindung()],
            stdout=subprocess.DEVNULL, stderr=open(self.ordner / "sammler.err", "a"))

    def simulator(self, nummer):
        log = self.ordner / f"sim{nummer}.log"
        prozess = subprocess.Popen(
            [str(self.build / "tools" / "meter-sim" / "meter-sim"), "--interval",
             str(self.args.interval), "--baud", "0", "--mode", "mixed", "--quantity", "mixed"],
            stdout=open(log, "w"), stderr=subprocess.DEVNULL)
        warten(lambda: "\n" in log.read_text(), 20, "meter-sim nennt kein Gerät")
        return prozess, log.read_text().split("\n", 1)[0]

    def logger_starten(self, nummer, anhaengen):
        umgebung = dict(os.environ, XDG_STATE_HOME=str(self.zustand))
        for weg in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
            umgebung.pop(weg, None)
        befehl = [str(self.build / "main" / "quorlits"), "--headless", "--quiet", "--port",
                  self.sims[nummer][1], "--data-file", str(self.ordner / f"daten{nummer}.txt"),
                  "--publish", self.broker.url(), "--bench", f"bank{nummer + 1}"]
        if anhaengen:
            befehl.append("--append")
        return subprocess.Popen(befehl, env=umgebung, stdout=subprocess.DEVNULL,
                                stderr=open(self.ordner / f"logger{nummer}.err", "a"))

    def wartend_bytes(self):
        return wartend_bytes(self.zustand)

    def beenden(self):
        for prozess in [self.sammler] + self.logger + [sim for sim, _ in self.sims]:
            if prozess and prozess.poll() is None:
                prozess.kill()
                prozess.wait()
        if self.broker.prozess.poll() is None:
            self.broker.signal(signal.SIGCONT)
            self.broker.signal(signal.SIGKILL)
        try:
            self.postgres.ctl("stop")
        except subprocess.CalledProcessError:
            pass


def stoerungen(lauf, dauer):
    """The faults in turn, at fixed parts of the run; returns when the run's time is up."""
    beginn = time.monotonic()
    pause = max(1.0, dauer * 0.025)

    def bis(anteil):
        time.sleep(max(0.0, beginn + dauer * anteil - time.monotonic()))

    def melden(text):
        print(f"  {time.monotonic() - beginn:6.1f} s  {text}", flush=True)

    bis(0.10)
    melden("Broker SIGKILL")
    lauf.broker.signal(signal.SIGKILL)
    time.sleep(pause)
    lauf.broker.starten()
    melden("Broker wieder da")
    bis(0.25)
    melden(f"Broker antwortet {dauer / 6:.0f} s nicht (SIGSTOP)")
    lauf.broker.signal(signal.SIGSTOP)
    time.sleep(dauer / 6)
    lauf.broker.signal(signal.SIGCONT)
    melden("Broker antwortet wieder")
    bis(0.50)
    melden("Sammler SIGKILL")
    lauf.sammler.kill()
    lauf.sammler.wait()
    time.sleep(pause)
    lauf.sammler_starten()
    melden("Sammler wieder da")
    bis(0.62)
    melden("Logger 1 SIGKILL")
    lauf.logger[0].kill()
    lauf.logger[0].wait()
    time.sleep(pause)
    lauf.logger[0] = lauf.logger_starten(0, anhaengen=True)
    melden("Logger 1 mit --append wieder da")
    bis(0.75)
    melden("PostgreSQL Neustart")
    lauf.postgres.ctl("restart")
    melden("PostgreSQL wieder da")
    bis(1.0)


def datei_messwerte(pfad, bench):
    """(bench, value, unit, date time) of every record line of a data file."""
    werte = collections.Counter()
    for zeile in pfad.read_bytes().decode("cp1252").split("\r\n"):
        felder = zeile.split("\t")
        if len(felder) not in (6, 10) or felder[0].count(".") != 2 or felder[0][0] == "P":
            continue
        wert, einheit = (felder[2], felder[3]) if len(felder) == 6 else (felder[4], felder[5])
        werte[(bench, wert.strip().replace(",", "."), einheit, felder[0] + " " + felder[1])] += 1
    return werte


def db_messwerte(postgres):
    werte = collections.Counter()
    for bench, wert, einheit, lokal in postgres.abfrage(
            "SELECT bench, value, unit, local FROM readings"):
        # As the data file writes it: rounded like printf, to two places.
        wert = f"{float(wert):.2f}"
        datum, uhrzeit = lokal[:10], lokal[11:19]
        jahr, monat, tag = datum.split("-")
        werte[(bench, wert, einheit, f"{tag}.{monat}.{jahr} {uhrzeit}")] += 1
    return werte


def latenz(postgres):
    zeile = postgres.abfrage(
        "SELECT count(*), percentile_cont(0.5) WITHIN GROUP (ORDER BY d), "
        "percentile_cont(0.99) WITHIN GROUP (ORDER BY d), max(d) FROM ("
        "SELECT extract(epoch FROM committed_at - utc) * 1000 AS d FROM readings) AS l")[0]
    return int(zeile[0]), float(zeile[1] or 0), float(zeile[2] or 0), float(zeile[3] or 0)


def main():
    args = argumente()
    ordner = pathlib.Path(tempfile.mkdtemp(prefix="quorlits-viele-"))
    os.chmod(ordner, 0o711)
    lauf = None
    try:
        lauf = Lauf(args, ordner)
        print(f"{args.loggers} Logger zu je {1000 / args.interval:.0f} Messwerten/s, "
              f"{args.seconds:.0f} s, Ordner {ordner}", flush=True)
        if args.faults:
            stoerungen(lauf, args.seconds)
        else:
            time.sleep(args.seconds)
        abfluss = None
        if args.outage > 0:
            print(f"  Broker {args.outage:.0f} s weg (SIGTERM)", flush=True)
            lauf.broker.signal(signal.SIGTERM)
            time.sleep(args.outage)
        for sim, _ in lauf.sims:
            sim.terminate()
            sim.wait()
        if args.outage > 0:
            stau = lauf.wartend_bytes()
            beginn = time.monotonic()
            lauf.broker.starten()
            warten(lambda: lauf.wartend_bytes() == 0, 3600, "die Ausgänge leeren sich nicht")
            abfluss = (time.monotonic() - beginn, stau)
        warten(lambda: lauf.wartend_bytes() == 0, 300, "die Ausgänge leeren sich nicht")
        leer = lauf.wartend_bytes() == 0
        for logger in lauf.logger:
            logger.terminate()
            logger.wait()
        erwartet = collections.Counter()
        for nummer in range(args.loggers):
            erwartet += datei_messwerte(ordner / f"daten{nummer}.txt", f"bank{nummer + 1}")
        gefunden = db_messwerte(lauf.postgres)
        fehlt = erwartet - gefunden
        fremd = gefunden - erwartet
        anzahl, p50, p99, hoechst = latenz(lauf.postgres)
        print(f"Messwerte in den Datendateien: {sum(erwartet.values())}, in readings: {anzahl}")
        print(f"Latenz Stempel -> Commit: p50 {p50:.1f} ms, p99 {p99:.1f} ms, max {hoechst:.0f} ms")
        if abfluss:
            print(f"Abfluss nach {args.outage:.0f} s Ausfall: {abfluss[0]:.1f} s für "
                  f"{abfluss[1] / 1e6:.1f} MB in den Ausgängen")
        for text, menge in (("fehlen in readings", fehlt), ("stehen nicht in einer Datendatei",
                                                            fremd)):
            if menge:
                print(f"FEHLER: {sum(menge.values())} Messwerte {text}, z. B. "
                      f"{list(menge.items())[:3]}")
        if not leer:
            print("FEHLER: ein Ausgang ist nicht leer")
        ok = not fehlt and not fremd and leer and anzahl > 0
        print(f"{int(ok)} passed, {int(not ok)} failed")
        return 0 if ok else 1
    finally:
        if lauf:
            lauf.beenden()
        ordner_aufraeumen(ordner)


if __name__ == "__main__":
    sys.exit(main())
