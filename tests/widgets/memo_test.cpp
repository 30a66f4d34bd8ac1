// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "WidgetTest.h"
#include "framework/widgets/Memo.h"

#include "reception/MemoInhalt.h"

#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

namespace {

// The text of the model as the memo shows it: CR LF is one line break.
QString AlsBildschirm(const TMemoInhalt& inhalt) {
    return QString(inhalt.Text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

struct TMemoFenster {
    TMemo memo;
    TMemoInhalt inhalt;

    TMemoFenster() {
        memo.resize(200, 120);
        memo.show();
    }

    // One received chunk, as the receive steps hand it on.
    void Chunk(const QString& anzeige) {
        MemoAnhaengen(inhalt, anzeige, anzeige.contains(QStringLiteral("<LF>")));
        memo.Anzeigen(inhalt.Text, inhalt.Leerungen);
    }
};

} // namespace

class MemoTest : public QObject {
    Q_OBJECT
private slots:
    void Chunkfolgen_data();
    void Chunkfolgen();
    void CrLfEinZeilenumbruch();
    void NeuBeginn();
    void AmEnde();
    void NurLesen();
};

void MemoTest::Chunkfolgen_data() {
    QTest::addColumn<QStringList>("chunks");
    QTest::newRow("ein Chunk") << QStringList{"abc"};
    QTest::newRow("Fortsetzung der Zeile") << QStringList{"7.0", "1_pH", "__25.0"};
    QTest::newRow("Zeilenende mitten drin")
        << QStringList{"_7.01_pH<CR><LF>\r\n_7.0", "2_pH<CR><LF>\r\n"};
    QTest::newRow("leere Chunks") << QStringList{"", "a", "", "<LF>\r\n", ""};
    QTest::newRow("zehnter Zeilenvorschub leert") << QStringList{
        "1<LF>\r\n", "2<LF>\r\n", "3<LF>\r\n", "4<LF>\r\n", "5<LF>\r\n",  "6<LF>\r\n",
        "7<LF>\r\n", "8<LF>\r\n", "9<LF>\r\n", "x",         "10<LF>\r\n", "neu"};
    QTest::newRow("1001 Zeichen leeren") << QStringList{QString(999, 'a'), "b", "cd", "nach"};
}

// After every chunk the memo shows exactly the model's text, the line breaks as such.
void MemoTest::Chunkfolgen() {
    QFETCH(QStringList, chunks);
    TMemoFenster f;
    for (const QString& chunk : chunks) {
        f.Chunk(chunk);
        QCOMPARE(f.memo.toPlainText(), AlsBildschirm(f.inhalt));
    }
}

// «1_<CR><LF>» and CR LF: twelve characters in the model, one line break on the screen.
void MemoTest::CrLfEinZeilenumbruch() {
    TMemoFenster f;
    f.Chunk(QStringLiteral("1_<CR><LF>\r\n"));
    QCOMPARE(MemoLaenge(f.inhalt), 12);
    QCOMPARE(f.memo.blockCount(), 2);
    QCOMPARE(f.memo.document()->findBlockByNumber(0).text(), QString("1_<CR><LF>"));
    f.Chunk(QStringLiteral("2"));
    QCOMPARE(MemoLaenge(f.inhalt), 13);
    QCOMPARE(f.memo.blockCount(), 2);
    QCOMPARE(f.memo.document()->findBlockByNumber(1).text(), QString("2"));
}

// Emptied memos start over: by a new emptying (also to the same length) and by a shorter text.
void MemoTest::NeuBeginn() {
    TMemoFenster f;
    f.Chunk("abc");
    MemoLeeren(f.inhalt);
    f.inhalt.Text = "xyz"; // emptied, then a chunk of the same length arrived
    f.memo.Anzeigen(f.inhalt.Text, f.inhalt.Leerungen);
    QCOMPARE(f.memo.toPlainText(), QString("xyz"));
    MemoLeeren(f.inhalt);
    f.memo.Anzeigen(f.inhalt.Text, f.inhalt.Leerungen);
    QCOMPARE(f.memo.toPlainText(), QString());
    f.Chunk("lang");
    f.inhalt.Text = "k"; // shorter without an emptying counted
    f.memo.Anzeigen(f.inhalt.Text, f.inhalt.Leerungen);
    QCOMPARE(f.memo.toPlainText(), QString("k"));
}

// Vertically the newest line is in view, horizontally the end of a long last line.
void MemoTest::AmEnde() {
    TMemoFenster f;
    for (int i = 0; i < 9; ++i) {
        f.Chunk(QStringLiteral("Zeile_%1<LF>\r\n").arg(i));
    }
    f.Chunk(QString(300, 'w'));
    QVERIFY(f.memo.verticalScrollBar()->maximum() > 0);
    QCOMPARE(f.memo.verticalScrollBar()->value(), f.memo.verticalScrollBar()->maximum());
    QVERIFY(f.memo.horizontalScrollBar()->maximum() > 0);
    QVERIFY(f.memo.horizontalScrollBar()->value() > 0);
    QVERIFY(f.memo.viewport()->rect().contains(f.memo.cursorRect().center()));
    f.Chunk("<LF>\r\nkurz");
    QCOMPARE(f.memo.horizontalScrollBar()->value(), 0);
    QCOMPARE(f.memo.verticalScrollBar()->value(), f.memo.verticalScrollBar()->maximum());
}

// Typing does not change the text.
void MemoTest::NurLesen() {
    TMemoFenster f;
    f.Chunk("abc");
    f.memo.setFocus();
    QTest::keyClicks(&f.memo, "xy");
    QTest::keyClick(&f.memo, Qt::Key_Backspace);
    QCOMPARE(f.memo.toPlainText(), QString("abc"));
}

QUORLITS_WIDGET_TEST(MemoTest)
#include "memo_test.moc"
