#pragma once

// The printed form of a document: each collection's name, its stored
// measures and its taxa table, in the window's display order, on numbered
// pages. Printing, the print preview and "Export as PDF…" all paint through
// paintDocumentReport, so they show one report.

#include <QRectF>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace quorvella {

class Store;

struct ReportTaxonRow
{
    QString name;
    QString abundance;
    bool counted = true;
};

struct ReportCollection
{
    QString name;
    // Label and value of each stored measure; empty when none is stored.
    std::vector<std::pair<QString, QString>> measures;
    std::vector<ReportTaxonRow> taxa;
};

struct DocumentReportContent
{
    QString title;     // the document's name
    QString chao2Text; // the window's Chao-2 field; may be empty
    std::vector<ReportCollection> collections;
};

DocumentReportContent makeDocumentReport(const Store &store, const QString &title,
                                         const QString &chao2Text);

// Paints the report within pageRect (device coordinates) of the painter's
// device, one page after another; between pages it calls newPage, which
// starts the next page (QPagedPaintDevice::newPage) and answers whether it
// could. Returns the number of pages.
int paintDocumentReport(QPainter &painter, const QRectF &pageRect,
                        const DocumentReportContent &content, const std::function<bool()> &newPage);

// Paints the whole report on a printer or PDF writer, within its margins.
int paintDocumentReport(QPagedPaintDevice &device, const DocumentReportContent &content);

} // namespace quorvella
