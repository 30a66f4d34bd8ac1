// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "chart/Verlauf.h"

#include <QWidget>

#include <filesystem>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;
class TVerlaufAnsicht;

// The window "Verlauf": the chart of the running measurement beside the main window, not modal.
// It looks for new readings a few times a second while it is shown and costs nothing hidden.
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
    QLabel* Hinweis = nullptr;

    // Writes the chart as shown: SVG for a name ending in ".svg", PNG otherwise. A file that
    // cannot be written raises EInOutError.
    void Exportieren(const std::filesystem::path& datei) const;
    void Kopieren() const;
    // Takes in what came since the last look: the series list, the note, the picture.
    void Auffrischen();

    static constexpr int TaktMs = 250;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void SpeichernFragen();
    void ReihenwahlAuffrischen();

    const TVerlauf& verlauf_;
    QTimer* takt_ = nullptr;
};
