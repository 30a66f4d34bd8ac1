// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Quorlits developers
#pragma once

#include <QApplication>
#include <QtTest>

// All widget test classes live in one program, which builds and links once instead of once per
// class. Each file registers its class under the file's name ("about_test" for about_test.cpp);
// the program runs the class named by its first argument, so CTest still runs every class in a
// process of its own, as QTEST_MAIN did.
using TWidgetTestLauf = int (*)(int argc, char** argv);

bool WidgetTestAnmelden(const char* datei, TWidgetTestLauf lauf);

// In place of QTEST_MAIN(Klasse): the same set-up (initMain, QApplication, source path).
#define QUORLITS_WIDGET_TEST(Klasse)                                                               \
    namespace {                                                                                    \
    int Klasse##_Lauf(int argc, char** argv) {                                                     \
        QT_PREPEND_NAMESPACE(QTest::Internal::callInitMain)<Klasse>();                             \
        QTEST_MAIN_SETUP()                                                                         \
        Klasse tc;                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }                                                                                              \
    const bool Klasse##_Angemeldet = WidgetTestAnmelden(__FILE__, Klasse##_Lauf);                  \
    }
