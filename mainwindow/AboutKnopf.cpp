// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "mainwindow/ComMainForm.h"

#include "mainwindow/About.h"

#include <QPointer>

// A new box for every showing, so its memory figures are those of now. The guard covers the
// window being destroyed while the box is open.
void TForm1::AboutClick() {
    QPointer<TAboutBox> box = new TAboutBox(this);
    box->exec();
    delete box;
}
