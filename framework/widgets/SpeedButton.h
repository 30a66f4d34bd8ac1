// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QObject>
#include <QToolButton>

#include <vector>

// A toggle button as the main window's reading and saving buttons are: a click presses it down
// or, when it is down, lets it up. It is a member of at most one TSpeedButtonGroup.
class TSpeedButton : public QToolButton {
    Q_OBJECT
public:
    explicit TSpeedButton(const QString& caption, QWidget* parent = nullptr);

    bool Down() const { return isChecked(); }
    // Sets the state without a click event (the explicit "let it up" of the saving steps).
    void SetDown(bool down);
};

// Buttons of which at most one is down: pressing one lets the others up, and a click on the one
// that is down lets it up, so all may be up. The handlers themselves never set the state.
class TSpeedButtonGroup : public QObject {
    Q_OBJECT
public:
    explicit TSpeedButtonGroup(QObject* parent = nullptr);
    void Add(TSpeedButton* button);

private:
    void Pressed(TSpeedButton* button);
    std::vector<TSpeedButton*> buttons_;
};
