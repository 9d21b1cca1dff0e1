#pragma once

// Keeps the tests' QSettings away from the user's: a test organisation in
// Qt's test locations, emptied before each test.

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

namespace quorvella::testing {

inline void isolateSettings()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("QuorvellaDocumentTests"));
    QCoreApplication::setApplicationName(QStringLiteral("QuorvellaDocumentTests"));
    QSettings().clear();
    QSettings().sync();
}

} // namespace quorvella::testing
