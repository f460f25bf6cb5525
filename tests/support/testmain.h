#pragma once

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

// Every test program runs offscreen with its own settings folder, program
// folder and clipboard-free environment, so tests never touch the user's files.
namespace testsupport {

// A private folder for this test program: settings go to <root>/config and
// the program folder is <root>/app/.
QString root();
void prepareEnvironment();
int run(QObject *test, int argc, char **argv); // then removes the private folder
// Writes a file for a test, making its folder; a write that fails fails the test. Returns path.
QString writeBytes(const QString &path, const QByteArray &bytes);

} // namespace testsupport

#define QP_TEST_MAIN(TestClass)                                                                              \
    int main(int argc, char **argv)                                                                          \
    {                                                                                                        \
        testsupport::prepareEnvironment();                                                                   \
        QApplication app(argc, argv);                                                                        \
        TestClass tc;                                                                                        \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return testsupport::run(&tc, argc, argv);                                                            \
    }
