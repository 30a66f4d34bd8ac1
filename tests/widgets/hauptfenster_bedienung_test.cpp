// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
// The main window by keyboard, and where the window "Verlauf" opens beside it.
#include "HauptfensterRig.h"
#include "WidgetTest.h"

#include "chart/widgets/VerlaufFenster.h"
#include "framework/widgets/Memo.h"
#include "framework/widgets/SpeedButton.h"
#include "framework/widgets/StringGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include <vector>

namespace {

// The saving row and the bottom panel, from the top of the one to the bottom of the other.
QRect UntererTeil(const TForm1& f) {
    const auto* speicher = f.findChild<const QWidget*>(QStringLiteral("SpeicherLeiste"));
    return {speicher->mapToGlobal(QPoint(0, 0)),
            f.Panel1->mapToGlobal(f.Panel1->rect().bottomRight())};
}

std::vector<QWidget*> Lesereihenfolge(const TForm1& f) {
    return {f.Rx_Button,   f.WTW_Rx_Button, f.Clear_Btn,  f.RS232Set_Btn, f.Option_Btn,
            f.Edit_Data,   f.Send_Btn,      f.NewLine_CB, f.Memo,         f.VerlaufButton,
            f.StringGrid1, f.ProbeEdit,     f.GrundEdit,  f.BedienerEdit, f.ElektrodeEdit,
            f.SaveButton,  f.AutoSaveBtn,   f.InfoButton, f.ENDEButton};
}

QString Name(const QWidget* widget) {
    return widget != nullptr ? widget->objectName() : QStringLiteral("(keines)");
}

bool Aktiv(TForm1& f) {
    f.activateWindow();
    return QTest::qWaitForWindowActive(&f);
}

} // namespace

class THauptfensterBedienungTest : public QObject {
    Q_OBJECT

private slots:
    void verlaufLaesstDenUnterenTeilFrei_data() {
        QTest::addColumn<QRect>("bildschirm");
        QTest::addColumn<QPoint>("fenster");
        QTest::addColumn<bool>("daneben");
        const QRect breit(0, 0, 1600, 1000);
        const QRect klein(0, 0, 1024, 768);
        QTest::newRow("breit, Fenster links") << breit << QPoint(0, 0) << true;
        QTest::newRow("breit, Fenster rechts") << breit << QPoint(1000, 300) << true;
        QTest::newRow("klein, Fenster oben links") << klein << QPoint(0, 0) << false;
        QTest::newRow("klein, Fenster in der Mitte") << klein << QPoint(213, 120) << false;
        QTest::newRow("klein mit Leiste oben") << QRect(0, 32, 1024, 736) << QPoint(0, 32) << false;
    }

    void verlaufLaesstDenUnterenTeilFrei() {
        QFETCH(QRect, bildschirm);
        QFETCH(QPoint, fenster);
        QFETCH(bool, daneben);
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        f.move(fenster);
        f.VerlaufClick();
        const QRect rahmen = f.VerlaufPlatz(bildschirm);
        QVERIFY(!rahmen.intersects(UntererTeil(f)));
        QVERIFY(bildschirm.contains(rahmen));
        QVERIFY(rahmen.width() >= f.VerlaufFenster->minimumSizeHint().width());
        QVERIFY(rahmen.height() >= f.VerlaufFenster->minimumSizeHint().height());
        QCOMPARE(!rahmen.intersects(f.frameGeometry()), daneben);
        // The window opens where it was placed, on the screen it is shown on.
        f.VerlaufFenster->hide();
        f.VerlaufClick();
        QCOMPARE(f.VerlaufFenster->frameGeometry(),
                 f.VerlaufPlatz(f.screen()->availableGeometry()));
    }

    // Tab goes through every control in reading order and round, Shift+Tab back: into the
    // table and out of it again.
    void tabFolgtDerLesereihenfolge() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        QVERIFY(Aktiv(f));
        const std::vector<QWidget*> reihe = Lesereihenfolge(f);
        const auto n = reihe.size();
        reihe.front()->setFocus();
        for (std::size_t i = 1; i <= n; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(Name(QApplication::focusWidget()), Name(reihe[i % n]));
        }
        for (std::size_t i = n; i > 0; --i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
            QCOMPARE(Name(QApplication::focusWidget()), Name(reihe[i - 1]));
        }
    }

    // The read-only memo draws its frame in the highlight colour while it has the focus.
    void memoZeigtDenFokus() {
        THauptfensterRig rig;
        TForm1& f = *rig.Form;
        QVERIFY(Aktiv(f));
        const QColor hervor = f.Memo->palette().color(QPalette::Highlight);
        const auto rand = [&f] {
            return f.Memo->grab().toImage().pixelColor(0, f.Memo->height() / 2);
        };
        f.Edit_Data->setFocus();
        QVERIFY(rand() != hervor);
        f.Memo->setFocus();
        QVERIFY(f.Memo->hasFocus());
        QCOMPARE(rand(), hervor);
    }
};

QUORLITS_WIDGET_TEST(THauptfensterBedienungTest)
#include "hauptfenster_bedienung_test.moc"
