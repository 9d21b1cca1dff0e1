#pragma once

// Keeps the tests' QSettings away from the user's: a test organisation in
// Qt's test locations, emptied before each test.

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace quorvella::testing {

inline void isolateSettings()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("QuorvellaDocumentTests"));
    // One settings file per test program: ctest runs programs side by side,
    // and one program emptying a shared file lost another's settings.
    QCoreApplication::setApplicationName(
        QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    QSettings().clear();
    QSettings().sync();
}

} // namespace quorvella::testing
