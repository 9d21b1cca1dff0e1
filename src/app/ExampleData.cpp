#include "app/ExampleData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace quorvella {

QString exampleDocumentPathFrom(const QString &programFolder)
{
    const QString name = QStringLiteral("forams.qvl");
    const QStringList folders = {
        QDir(programFolder).filePath(QStringLiteral("../share/quorvella/examples")),
        QStringLiteral(QUORVELLA_SOURCE_EXAMPLES_DIR),
    };
    for (const QString &folder : folders) {
        const QFileInfo file(QDir(folder).filePath(name));
        if (file.isFile())
            return file.canonicalFilePath();
    }
    return {};
}

QString exampleDocumentPath()
{
    return exampleDocumentPathFrom(QCoreApplication::applicationDirPath());
}

} // namespace quorvella
