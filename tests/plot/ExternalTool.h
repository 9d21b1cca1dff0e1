#pragma once

// Runs a program the tests read files back with (pdftotext, pdfinfo).

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace quorvella::testing {

// The program's standard output, or an empty text when it is not installed.
inline QString runTool(const QString &tool, const QStringList &arguments)
{
    const QString path = QStandardPaths::findExecutable(tool);
    if (path.isEmpty()) {
        return {};
    }
    QProcess process;
    process.start(path, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace quorvella::testing
