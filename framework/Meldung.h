// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <exception>
#include <stdexcept>
#include <string>
#include <utility>

// What a message to the user is about, where it names something.
struct TMeldungsBezug {
    std::string Geraet;   // the serial device
    std::string Datei;    // the file
    int Systemfehler = 0; // the errno behind it; 0 when there is none
};

inline TMeldungsBezug DateiBezug(std::string datei, int systemfehler = 0) {
    return TMeldungsBezug{{}, std::move(datei), systemfehler};
}

inline TMeldungsBezug GeraetBezug(std::string geraet, int systemfehler = 0) {
    return TMeldungsBezug{std::move(geraet), {}, systemfehler};
}

// The one error a user reads, in the window and without one: its German text (UTF-8) and what
// it is about. Where it tells of an error of the serial component or of the file layer, it
// carries that error too: the window's error box shows the component's own text for it, the
// logger prints the German text.
class EMeldung : public std::runtime_error {
public:
    explicit EMeldung(const std::string& text, TMeldungsBezug bezug = {},
                      std::exception_ptr komponente = {});

    const TMeldungsBezug& Bezug() const noexcept { return bezug_; }
    // The serial component's or the file layer's error told of; empty for the program's own.
    const std::exception_ptr& Komponente() const noexcept { return komponente_; }

private:
    TMeldungsBezug bezug_;
    std::exception_ptr komponente_;
};

// The line that says in German what is wrong with the device of `bezug`, from its errno:
// "Gerät /dev/ttyUSB0: nicht vorhanden"; empty when the message names no device or errno.
std::string GeraeteZeile(const TMeldungsBezug& bezug);

// The text of a caught error for a message line: its own text, "unbekannter Fehler" for an
// error that has none.
std::string MeldungsText(const std::exception_ptr& fehler);

// The error being handled (inside a catch) as an EMeldung: an EMeldung as it is, any other error
// with `vorsatz` before its text and kept as the component's error it tells of.
EMeldung AlsMeldung(const std::string& vorsatz, TMeldungsBezug bezug);
