#pragma once

#include <QApplication>
#include <QtTest>

// Like QTEST_MAIN, with what every test of this project needs: no display needed,
// Qt's own (answerable) file dialogs, and no platform theme or fonts of the
// developer's desktop.
#define TALMER_TEST_MAIN(TestObject)                                    \
    int main(int argc, char* argv[])                                    \
    {                                                                   \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))            \
            qputenv("QT_QPA_PLATFORM", "offscreen");                   \
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);       \
        QApplication app(argc, argv);                                   \
        app.setAttribute(Qt::AA_Use96Dpi, true);                        \
        TestObject tc;                                                  \
        QTEST_SET_MAIN_SOURCE_PATH                                      \
        return QTest::qExec(&tc, argc, argv);                           \
    }
