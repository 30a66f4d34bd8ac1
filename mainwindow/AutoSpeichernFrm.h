// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include "storage/Zeitpunkt.h"

#include <QDialog>
#include <QGroupBox>
#include <QStringList>

#include <cstdint>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QDateEdit;
class QDateTimeEdit;
class QLabel;
class QPushButton;
class QRadioButton;
class QTimeEdit;
class TPBSpinEdit;

// The save intervals the dialog offers, in the order of its radio group: item index <-> seconds.
// A number of seconds the dialog does not offer (an edited PHRX.CFG) gives item 0, "Alles".
int SpeicherintervallIndex(std::uint16_t sekunden);
std::uint16_t SpeicherintervallSekunden(int index);

// The value of a date or time picker as days since 30.12.1899 with the time of day as the
// fraction, and back. A time picker keeps only the time of day of what it is given.
TDateTime PickerWert(const QDateTimeEdit* picker);
void PickerSetzen(QDateTimeEdit* picker, TDateTime wert);

// A titled box of radio buttons in columns (filled column by column), one of which is
// selected. Single items can be disabled. Click is emitted whenever another item becomes
// selected, by the user or by SetItemIndex.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    TRadioGroup(const QString& caption, const QStringList& items, int columns,
                QWidget* parent = nullptr);

    int Count() const { return static_cast<int>(items_.size()); }
    // The selected item, -1 when none is.
    int ItemIndex() const;
    void SetItemIndex(int index);
    // The item's button, to enable or disable it alone.
    QRadioButton* Item(int index) const { return items_.at(static_cast<std::size_t>(index)); }

signals:
    void Click();

private:
    QButtonGroup* gruppe_ = nullptr;
    std::vector<QRadioButton*> items_;
};

// The autosave options dialog: the time window, the save interval and what is written. It is
// created once, hidden, and reused; the main window's AutoSaveBtnClick fills it from the
// settings before every showing and takes the values back after "OK".
class TAuto_Form : public QDialog {
    Q_OBJECT
public:
    explicit TAuto_Form(QWidget* parent = nullptr);

    QLabel* StaticText1 = nullptr;
    QLabel* Label1 = nullptr; // the output file, shown only
    QGroupBox* GroupBox2 = nullptr;
    QLabel* Label12 = nullptr;
    QDateEdit* DateTimePicker1 = nullptr; // start date
    QLabel* Label14 = nullptr;
    QTimeEdit* DateTimePicker3 = nullptr; // start time
    QLabel* Label13 = nullptr;
    QDateEdit* DateTimePicker2 = nullptr; // end date
    QLabel* Label15 = nullptr;
    QTimeEdit* DateTimePicker4 = nullptr; // end time
    TRadioGroup* RadioGroup1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QRadioButton* RadioButton1 = nullptr; // readings as received
    QRadioButton* RadioButton2 = nullptr; // interval means
    QRadioButton* RadioButton3 = nullptr; // moving averages
    TPBSpinEdit* PBSpinEdit2 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    // The enabling rules: an interval mean cannot go together with item 0 (every reading), and
    // the number field counts only for the moving average.
    void SetStatus();
    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    // After every way of closing: item 0 and RadioButton2 enabled again, so the next showing
    // starts from the settings alone.
    void FormClose();

    // Every way of closing (OK, Abbruch, Esc, close box) ends here.
    void done(int result) override;

protected:
    // Each showing applies the enabling rules to what the settings loaded.
    void showEvent(QShowEvent* event) override;

private:
    void Aufbauen();
    QWidget* DateiZeile();
    QGroupBox* Zeitangaben();
    QGroupBox* Speicherangaben();
    QWidget* Knopfzeile();
    void Verbinden();
};
