// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "audit/Protokoll.h"

#include <QObject>

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

class TDatendatei;
class TMessung;
struct TLeitungsStand;
enum class TLeitungsWechsel : std::uint8_t;

// Writes the measurement's events into the audit trail: start and end, saving on and off (with
// the data file), the line lost and back, sample, operator and electrode changed, and every
// error the measurement reports. The window and the logger each make one for their TMessung, so
// both write the same trail. A trail that cannot be written stops nothing: the error goes out
// through Fehler, once until the trail can be written again.
class TProtokollant : public QObject {
    Q_OBJECT
public:
    // `messung` and `protokoll` outlive the listener.
    TProtokollant(TMessung& messung, TProtokoll& protokoll, QObject* parent = nullptr);
    ~TProtokollant() override;

    // Feeds every line written to `datei` (the measurement's data file, which outlives the
    // listener) into the chain, and tells the trail when the file is opened anew.
    void DatendateiVerbinden(TDatendatei& datei);

    // The program's start (with its version) and end.
    void ProgrammStart(std::string_view version);
    void ProgrammEnde();
    // A setting changed in `dialog` (TProtokoll::EinstellungGeaendert).
    void EinstellungGeaendert(std::string_view dialog, std::string_view name, std::string_view alt,
                              std::string_view neu);

signals:
    // The trail could not be written: an EMeldung naming the trail, telling the EInOutError.
    void Fehler(const std::exception_ptr& fehler);

private:
    template <typename Schritt>
    void Versuchen(Schritt&& schritt);
    void Eintragen(std::string_view ereignis, std::string_view details);
    void LeitungEintragen(TLeitungsWechsel wechsel, const TLeitungsStand& stand);
    // Whether the connected data file was emptied on purpose when it was opened last.
    bool Geleert() const noexcept;

    TMessung& messung_;
    TProtokoll& protokoll_;
    TDatendatei* datei_ = nullptr;
    bool gestoert_ = false; // the last write failed and was told
};
