// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "chart/Verlauf.h"
#include "storage/Uhr.h"

#include <QWidget>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSaveFile;
class QTimer;
class TVerlaufAnsicht;

// The window "Verlauf": the chart of the running measurement beside the main window, not modal.
// It looks for new readings a few times a second while it is shown and costs nothing hidden.
// Each time it is opened it shows the whole measurement and follows it.
class TVerlaufFenster : public QWidget {
    Q_OBJECT
public:
    explicit TVerlaufFenster(const TVerlauf& verlauf, QWidget* parent = nullptr);

    TVerlaufAnsicht* Ansicht = nullptr;
    QComboBox* Reihenwahl = nullptr;
    QCheckBox* MittelZeigen = nullptr;
    QPushButton* AllesZeigenKnopf = nullptr;
    QPushButton* SpeichernKnopf = nullptr;
    QPushButton* KopierenKnopf = nullptr;
    QPushButton* DatenKnopf = nullptr; // "Daten exportieren ..."
    QLabel* Hinweis = nullptr;

    // The program's clock: "Neueste Messgröße" counts its 5 s by it as well as by the readings'
    // stamps. Without one, by the stamps alone.
    void SetUhr(TUhr uhr) { uhr_ = std::move(uhr); }
    // The port the readings come from, named in the title of an exported or copied picture.
    void SetAnschluss(std::function<std::string()> anschluss) { anschluss_ = std::move(anschluss); }

    // Writes the chart as shown with its title line: SVG for a name ending in ".svg", PNG
    // otherwise. A file that cannot be written raises EInOutError.
    void Exportieren(const std::filesystem::path& datei) const;
    void Kopieren() const;
    // Writes the readings of the series and time range in view as a tab-separated text file
    // (DatenExportSchreiben). A file that cannot be written raises EInOutError.
    void DatenExportieren(const std::filesystem::path& datei) const;
    // "pH – /dev/ttyUSB0 – 07.12.2026, 10:00:00 bis 07.12.2026, 10:05:00": the series, the
    // port and the first and last time in view.
    QString Bildtitel() const;
    // Takes in what came since the last look: the series list, the note, the picture.
    void Auffrischen();

    static constexpr int TaktMs = 250;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void SpeichernFragen();
    void DatenFragen();
    void ReihenwahlAuffrischen();
    void NeuesteBenennen();

    const TVerlauf& verlauf_;
    TUhr uhr_;
    std::function<std::string()> anschluss_;
    std::uint64_t leerungen_ = 0; // the chart's Leerungen when the series list was made
    QTimer* takt_ = nullptr;
};
