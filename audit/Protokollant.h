// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "audit/Protokoll.h"

#include <QObject>

#include <exception>

class TMessung;

// Writes the measurement's events into the audit trail: start and end, saving on and off (with
// the data file), the line lost and back, and every error the measurement reports. The window
// and the logger each make one for their TMessung, so both write the same trail. A trail that
// cannot be written stops nothing: the error goes out through Fehler.
class TProtokollant : public QObject {
    Q_OBJECT
public:
    // `messung` and `protokoll` outlive the listener.
    TProtokollant(TMessung& messung, TProtokoll& protokoll, QObject* parent = nullptr);

signals:
    // The trail could not be written (an EInOutError).
    void Fehler(const std::exception_ptr& fehler);

private:
    void Eintragen(std::string_view ereignis, std::string_view details);

    TMessung& messung_;
    TProtokoll& protokoll_;
};
