// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <stdexcept>
#include <string>

// A failed read, write or close of a file, carrying the run-time's input/output code.
// what() is the German text that the standard error box shows (UTF-8).
class EInOutError : public std::runtime_error {
public:
    explicit EInOutError(int code);

    // The error of a failed system call; `errnoWert` is kept for diagnostics.
    static EInOutError AusErrno(int errnoWert);

    // The error of `errnoWert` told in a text of its own (German, UTF-8), e.g. one that names
    // the file and why it is refused; the code is that of AusErrno.
    static EInOutError MitText(int errnoWert, const std::string& text);

    int ErrorCode() const noexcept { return code_; }
    int SystemFehler() const noexcept { return systemFehler_; }

    // The German text of the system error ("Ein-/Ausgabefehler"), the detail beside what();
    // empty when no system error is known.
    std::string Detail() const;

    // what() with the detail in brackets: "E/A-Fehler 1005 (Ein-/Ausgabefehler)".
    std::string MitDetail() const;

private:
    EInOutError(int code, int systemFehler);
    EInOutError(int code, int systemFehler, const std::string& text);
    int code_;
    int systemFehler_ = 0;
};

// The run-time code for an errno value. Errors with a text of their own map onto 2, 3, 4, 5 and
// 101; every other errno e becomes 1000 + e, so it never collides with those codes (EIO is 5 on
// Linux but must not read "Dateizugriff verweigert").
int InOutCodeAusErrno(int errnoWert);

// "Datei nicht gefunden" for 2, ..., "E/A-Fehler %d" for codes without a text of their own.
std::string InOutMeldung(int code);
