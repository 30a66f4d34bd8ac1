// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#include "WidgetTest.h"
#include "framework/widgets/Fehlerbox.h"

#include "mainwindow/FehlerboxAnschluss.h"
#include "serial/ComErrorHook.h"
#include "serial/EComPort.h"
#include "storage/EInOutError.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <new>
#include <stdexcept>

Q_DECLARE_METATYPE(std::exception_ptr)

namespace {

constexpr int Frist = 20000; // ms; generous for a loaded machine under the sanitizers

std::exception_ptr Fehler(const char* text) {
    return std::make_exception_ptr(std::runtime_error(text));
}

// Runs the event loop briefly, as a modal box does while it is open.
void KurzWarten() {
    QEventLoop schleife;
    QTimer::singleShot(30, &schleife, &QEventLoop::quit);
    schleife.exec();
}

} // namespace

class FehlerboxTest : public QObject {
    Q_OBJECT
private slots:
    void Texte_data();
    void Texte();
    void ErstNachDemHandler();
    void GleicheEinmal();
    void VerschiedeneInReihenfolge();
    void WartetBisBoxZu();
    void DirektVomSeriellenTeil();
    void BehandelnMeldet();
    void WerfendeAnzeigeGibtFrei();
    void Abgebaut();
    void EchteBox();
    void cleanup();

private:
    // Records each shown text; with `offenHalten` it mimics a modal box around its nested loop.
    void Aufzeichnen(bool offenHalten = false);
    QStringList gezeigt_;
    std::function<void(const QString&)> beimOeffnen_;
};

void FehlerboxTest::Aufzeichnen(bool offenHalten) {
    FehlerboxAnschliessen(nullptr, [this, offenHalten](const QString& text) {
        gezeigt_ << "auf:" + text;
        if (beimOeffnen_) {
            beimOeffnen_(text);
        }
        if (offenHalten) {
            KurzWarten();
        }
        gezeigt_ << "zu:" + text;
    });
}

void FehlerboxTest::cleanup() {
    FehlerboxTrennen();
    QCoreApplication::processEvents();
    gezeigt_.clear();
    beimOeffnen_ = {};
}

void FehlerboxTest::Texte_data() {
    QTest::addColumn<std::exception_ptr>("fehler");
    QTest::addColumn<QString>("text");
    QTest::newRow("EComPort") << std::make_exception_ptr(EComPort(CError_OpenFailed, 2))
                              << QString::fromUtf8(ComPortMessage(CError_OpenFailed, 2));
    QTest::newRow("EInOutError 101")
        << std::make_exception_ptr(EInOutError(101)) << QString("Zu wenig Speicherplatz");
    QTest::newRow("EInOutError mit Umlaut")
        << std::make_exception_ptr(EInOutError(3)) << QString("Ungültiger Dateiname");
    QTest::newRow("EMeldung") << std::make_exception_ptr(EMeldung("Speichern nicht möglich."))
                              << QString("Speichern nicht möglich.");
    QTest::newRow("bad_alloc") << std::make_exception_ptr(std::bad_alloc())
                               << QString("Zu wenig Arbeitsspeicher.");
    QTest::newRow("runtime_error") << Fehler("Öl") << QString("Unerwarteter Fehler: Öl");
    QTest::newRow("logic_error") << std::make_exception_ptr(std::out_of_range("Index"))
                                 << QString("Unerwarteter Fehler: Index");
    QTest::newRow("kein std::exception")
        << std::make_exception_ptr(42) << QString("Unbekannter Fehler.");
    QTest::newRow("leer") << std::exception_ptr() << QString("Unbekannter Fehler.");
}

// The texts with the box joined to the program, which knows its own errors.
void FehlerboxTest::Texte() {
    QFETCH(std::exception_ptr, fehler);
    QFETCH(QString, text);
    Aufzeichnen();
    QCOMPARE(FehlerText(fehler), text);
}

// The box never opens inside the handler that reported: only when the event loop runs.
void FehlerboxTest::ErstNachDemHandler() {
    Aufzeichnen();
    FehlerMelden(Fehler("a"));
    QVERIFY(gezeigt_.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(
        gezeigt_, QStringList({"auf:Unerwarteter Fehler: a", "zu:Unerwarteter Fehler: a"}), Frist);
}

// The same text twice while the first waits: one box. After it closed, the text comes again.
void FehlerboxTest::GleicheEinmal() {
    Aufzeichnen();
    FehlerMelden(std::make_exception_ptr(EInOutError(101)));
    FehlerMelden(std::make_exception_ptr(EInOutError(101)));
    const QStringList einmal{"auf:Zu wenig Speicherplatz", "zu:Zu wenig Speicherplatz"};
    QTRY_COMPARE_WITH_TIMEOUT(gezeigt_, einmal, Frist);
    QCoreApplication::processEvents();
    QCOMPARE(gezeigt_, einmal);
    FehlerMelden(std::make_exception_ptr(EInOutError(101)));
    QTRY_COMPARE_WITH_TIMEOUT(gezeigt_, einmal + einmal, Frist);
}

void FehlerboxTest::VerschiedeneInReihenfolge() {
    Aufzeichnen();
    FehlerMelden(Fehler("a"));
    FehlerMelden(std::make_exception_ptr(std::bad_alloc()));
    FehlerMelden(Fehler("a"));
    QTRY_COMPARE_WITH_TIMEOUT(gezeigt_.size(), 4, Frist);
    QCOMPARE(gezeigt_,
             QStringList({"auf:Unerwarteter Fehler: a", "zu:Unerwarteter Fehler: a",
                          "auf:Zu wenig Arbeitsspeicher.", "zu:Zu wenig Arbeitsspeicher."}));
}

// Reports made while a box is open (its nested loop runs) wait until it closed; the text of
// the open box is not reported a second time.
void FehlerboxTest::WartetBisBoxZu() {
    Aufzeichnen(true);
    beimOeffnen_ = [](const QString& text) {
        if (text.endsWith('a')) {
            FehlerMelden(Fehler("b"));
            FehlerMelden(Fehler("a"));
        }
    };
    FehlerMelden(Fehler("a"));
    QTRY_COMPARE_WITH_TIMEOUT(gezeigt_.size(), 4, Frist);
    KurzWarten();
    QCOMPARE(gezeigt_, QStringList({"auf:Unerwarteter Fehler: a", "zu:Unerwarteter Fehler: a",
                                    "auf:Unerwarteter Fehler: b", "zu:Unerwarteter Fehler: b"}));
}

// Errors the serial component reports itself reach the same box, without being deduplicated
// against (or freeing) a report of FehlerMelden with the same text.
void FehlerboxTest::DirektVomSeriellenTeil() {
    Aufzeichnen(true);
    const QString text = QString::fromUtf8(ComPortMessage(CError_ReadFailed, 5));
    const auto melden = [] { return std::make_exception_ptr(EComPort(CError_ReadFailed, 5)); };
    ReportComError(melden());
    FehlerMelden(melden());
    // While the direct report is shown, the queued one of FehlerMelden still holds its text.
    beimOeffnen_ = [&melden](const QString&) { FehlerMelden(melden()); };
    QTRY_COMPARE_WITH_TIMEOUT(gezeigt_.size(), 4, Frist);
    KurzWarten();
    QCOMPARE(gezeigt_, QStringList({"auf:" + text, "zu:" + text, "auf:" + text, "zu:" + text}));
}

void FehlerboxTest::BehandelnMeldet() {
    Aufzeichnen();
    bool gelaufen = false;
    Behandeln([&gelaufen] { gelaufen = true; });
    Behandeln([] { throw EInOutError(5); });
    QVERIFY(gelaufen);
    QTRY_COMPARE_WITH_TIMEOUT(
        gezeigt_, QStringList({"auf:Dateizugriff verweigert", "zu:Dateizugriff verweigert"}),
        Frist);
}

// A failing display must not leave the text marked as open for ever.
void FehlerboxTest::WerfendeAnzeigeGibtFrei() {
    int versuche = 0;
    FehlerboxAnschliessen(nullptr, [&versuche](const QString&) {
        if (++versuche == 1) {
            throw std::runtime_error("Anzeige");
        }
    });
    FehlerMelden(Fehler("a"));
    QTRY_COMPARE_WITH_TIMEOUT(versuche, 1, Frist);
    FehlerMelden(Fehler("a"));
    QTRY_COMPARE_WITH_TIMEOUT(versuche, 2, Frist);
}

// After the window went, reports no longer reach its display; a new display gets new reports.
void FehlerboxTest::Abgebaut() {
    Aufzeichnen();
    FehlerboxTrennen();
    FehlerMelden(Fehler("stderr")); // written to stderr
    QCoreApplication::processEvents();
    KurzWarten();
    QVERIFY(gezeigt_.isEmpty());
    Aufzeichnen();
    FehlerMelden(Fehler("stderr"));
    QTRY_COMPARE_WITH_TIMEOUT(gezeigt_.size(), 2, Frist);
}

// The standard box: modal over the window, caption "Quorlits", the error's text, critical icon.
void FehlerboxTest::EchteBox() {
    QWidget fenster;
    fenster.show();
    FehlerboxAnschliessen(&fenster);
    QStringList gesehen;
    QTimer schliesser;
    connect(&schliesser, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        gesehen << box->windowTitle() + "|" + box->text();
        QVERIFY(box->icon() == QMessageBox::Critical);
        QVERIFY(box->parentWidget() == &fenster);
        box->done(QMessageBox::Ok);
    });
    schliesser.start(10);
    FehlerMelden(std::make_exception_ptr(EInOutError(101)));
    QTRY_COMPARE_WITH_TIMEOUT(gesehen.size(), 1, Frist);
    QCOMPARE(gesehen[0], QString("Quorlits|Zu wenig Speicherplatz"));
    // Once closed, the same error opens a box again.
    FehlerMelden(std::make_exception_ptr(EInOutError(101)));
    QTRY_COMPARE_WITH_TIMEOUT(gesehen.size(), 2, Frist);
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeModalWidget() == nullptr, Frist);
}

QUORLITS_WIDGET_TEST(FehlerboxTest)
#include "fehlerbox_test.moc"
