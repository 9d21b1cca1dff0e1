#include "document/DocumentPrinting.h"

#include "document/DocumentReport.h"
#include "document/MyDocument.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPdfWriter>
#include <QSaveFile>

namespace quorvella {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("DocumentPrinting", text);
}

DocumentReportContent reportOf(MyDocument &document)
{
    return makeDocumentReport(document.store(), document.displayName(), document.chao2Text());
}

} // namespace

void printDocument(MyDocument &document)
{
    const DocumentReportContent content = reportOf(document);
    document.ui().showPrintPreview(document.displayName(), [&content](QPagedPaintDevice &pages) {
        paintDocumentReport(pages, content);
    });
}

bool exportDocumentAsPdf(MyDocument &document)
{
    const QString path =
        document.ui().chooseFileToSave(tr("Export as PDF"), QStringLiteral("pdf"),
                                       QFileInfo(document.displayName()).completeBaseName());
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        QPdfWriter writer(&file);
        writer.setTitle(document.displayName());
        writer.setCreator(QStringLiteral("Quorvella"));
        paintDocumentReport(writer, reportOf(document));
    }
    // The writer has finished the PDF when it goes out of scope.
    written = written && file.error() == QFileDevice::NoError && file.commit();
    if (!written) {
        const QString reason = file.errorString();
        file.cancelWriting();
        document.ui().showErrorAlert(
            tr("The file \u201c%1\u201d could not be saved.").arg(QFileInfo(path).fileName()),
            reason);
    }
    return written;
}

} // namespace quorvella
