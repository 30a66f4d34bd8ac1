// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "WidgetTest.h"
#include "framework/widgets/SpeedButton.h"

#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <array>
#include <memory>

namespace {

// Three buttons in one group, each with a handler that notes the states it saw, as the
// window's handlers read Down() of their own button.
struct TGruppe {
    QWidget fenster;
    TSpeedButtonGroup gruppe;
    std::array<TSpeedButton*, 3> knoepfe{};
    QString gesehen; // per click: the button's letter and the states of all buttons

    TGruppe() {
        for (int i = 0; i < 3; ++i) {
            auto* knopf = new TSpeedButton(QString(QChar(u'a' + i)), &fenster);
            knopf->move(0, i * 40);
            gruppe.Add(knopf);
            QObject::connect(knopf, &QAbstractButton::clicked, &fenster,
                             [this, knopf] { gesehen += knopf->text() + Zustaende() + ' '; });
            knoepfe[static_cast<std::size_t>(i)] = knopf;
        }
        fenster.show();
    }

    QString Zustaende() const {
        QString text;
        for (const TSpeedButton* knopf : knoepfe) {
            text += knopf->Down() ? '1' : '0';
        }
        return text;
    }

    TSpeedButton* Knopf(QChar name) const {
        return knoepfe[static_cast<std::size_t>(name.unicode() - u'a')];
    }

    void Klicken(const QString& folge) {
        for (const QChar name : folge) {
            QTest::mouseClick(Knopf(name), Qt::LeftButton);
        }
    }
};

} // namespace

class SpeedButtonTest : public QObject {
    Q_OBJECT
private slots:
    void KlickFolgen_data();
    void KlickFolgen();
    void SetDownOhneKlick();
    void GesperrterKnopf();
    void EntfernterKnopf();
};

void SpeedButtonTest::KlickFolgen_data() {
    QTest::addColumn<QString>("klicks");
    QTest::addColumn<QString>("gesehen");
    QTest::addColumn<QString>("ende");
    QTest::newRow("einer gedrückt") << "a"
                                    << "a100 "
                                    << "100";
    QTest::newRow("anderer lässt den ersten hoch") << "ab"
                                                   << "a100 b010 "
                                                   << "010";
    QTest::newRow("gedrückter wird hochgelassen") << "aa"
                                                  << "a100 a000 "
                                                  << "000";
    QTest::newRow("wechseln, dann hochlassen") << "acc"
                                               << "a100 c001 c000 "
                                               << "000";
    QTest::newRow("nach allen oben wieder einer") << "bbc"
                                                  << "b010 b000 c001 "
                                                  << "001";
    QTest::newRow("durch alle") << "abca"
                                << "a100 b010 c001 a100 "
                                << "100";
}

// The handler sees the new state of its own button and the others already up; letting a
// button up by pressing another runs no handler of that button.
void SpeedButtonTest::KlickFolgen() {
    QFETCH(QString, klicks);
    QFETCH(QString, gesehen);
    QFETCH(QString, ende);
    TGruppe g;
    g.Klicken(klicks);
    QCOMPARE(g.gesehen, gesehen);
    QCOMPARE(g.Zustaende(), ende);
}

// The saving steps let a button up with SetDown: no click handler may run, and the group still
// keeps at most one button down.
void SpeedButtonTest::SetDownOhneKlick() {
    TGruppe g;
    QSignalSpy klicksB(g.Knopf('b'), &QAbstractButton::clicked);
    g.Klicken("a");
    g.Knopf('b')->SetDown(true);
    QCOMPARE(g.Zustaende(), QString("010"));
    g.Knopf('b')->SetDown(false);
    QCOMPARE(g.Zustaende(), QString("000"));
    QCOMPARE(klicksB.count(), 0);
    QCOMPARE(g.gesehen, QString("a100 "));
    g.Klicken("b");
    QCOMPARE(g.gesehen, QString("a100 b010 "));
}

// A disabled button ignores clicks and its state; the others keep working.
void SpeedButtonTest::GesperrterKnopf() {
    TGruppe g;
    g.Klicken("a");
    g.Knopf('b')->setEnabled(false);
    g.Klicken("b");
    QCOMPARE(g.Zustaende(), QString("100"));
    g.Klicken("a");
    g.Klicken("b");
    QCOMPARE(g.Zustaende(), QString("000"));
    QCOMPARE(g.gesehen, QString("a100 a000 "));
}

// A button destroyed before its group leaves the group working for the others.
void SpeedButtonTest::EntfernterKnopf() {
    QWidget fenster;
    TSpeedButtonGroup gruppe;
    auto* bleibt = new TSpeedButton("bleibt", &fenster);
    auto geht = std::make_unique<TSpeedButton>("geht", &fenster);
    gruppe.Add(bleibt);
    gruppe.Add(geht.get());
    gruppe.Add(bleibt); // a second Add changes nothing
    geht->SetDown(true);
    geht.reset();
    bleibt->SetDown(true);
    QVERIFY(bleibt->Down());
    bleibt->SetDown(false);
    QVERIFY(!bleibt->Down());
}

QUORLITS_WIDGET_TEST(SpeedButtonTest)
#include "speedbutton_test.moc"
