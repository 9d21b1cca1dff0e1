#include "document/DocumentReport.h"

#include "document/MetricsPanel.h"
#include "store/Store.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>

namespace quorvella {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("DocumentReport", text);
}

QString nameOr(const std::optional<std::string> &name, const char *unnamed)
{
    return name ? QString::fromStdString(*name) : tr(unnamed);
}

std::vector<std::pair<QString, QString>> storedMeasures(const Census &census)
{
    std::vector<std::pair<QString, QString>> measures{
        {tr("Census size"), MetricsPanel::formatInteger(census.abundance)},
        {tr("Richness"), MetricsPanel::formatInteger(census.richness)},
        {tr("Buzas-Gibson E"), MetricsPanel::formatMeasure(census.buzasGibson)},
        {tr("Chao-1"), MetricsPanel::formatMeasure(census.chao)},
        {tr("Shannon H"), MetricsPanel::formatMeasure(census.shannon)},
        {tr("Simpson D"), MetricsPanel::formatMeasure(census.simpson)},
        {tr("Pielou J"), MetricsPanel::formatMeasure(census.pielou)},
        {tr("Peters' Ess"), MetricsPanel::formatMeasure(census.peters)},
        {tr("Hurlbert PIE"), MetricsPanel::formatMeasure(census.pie)},
        {census.rarefactionSampleSize
             ? tr("Rarefied richness (n = %1)").arg(*census.rarefactionSampleSize)
             : tr("Rarefied richness"),
         MetricsPanel::formatMeasure(census.rarefactionRichness)},
    };
    const bool anyStored = std::any_of(measures.begin(), measures.end(), [](const auto &measure) {
        return !measure.second.isEmpty();
    });
    if (!anyStored)
        return {};
    for (auto &measure : measures) {
        if (measure.second.isEmpty())
            measure.second = QStringLiteral("\u2013");
    }
    return measures;
}

// Lays out and paints the report. It runs twice: once without painting to
// count the pages, then painting, so that every footer can say "of N".
class ReportWriter
{
public:
    ReportWriter(QPainter &painter, const QRectF &page, std::function<bool()> newPage,
                 int pageCount)
        : m_painter(painter), m_page(page), m_newPage(std::move(newPage)), m_pageCount(pageCount),
          m_painting(pageCount > 0)
    {
        const qreal dpi = painter.device() ? painter.device()->logicalDpiY() : 72;
        m_unit = dpi / 72.0;
        m_titleFont = font(16, true);
        m_headingFont = font(13, true);
        m_bodyFont = font(10, false);
        m_boldFont = font(10, true);
        m_smallFont = font(8, false);
        m_top = m_page.top();
        m_bottom = m_page.bottom() - lineHeight(m_smallFont) - 6 * m_unit;
        m_y = m_top;
    }

    int write(const DocumentReportContent &content)
    {
        writeTitle(content);
        for (const ReportCollection &collection : content.collections)
            writeCollection(collection);
        finishPage();
        return m_pageNumber;
    }

private:
    QFont font(int points, bool bold) const
    {
        QFont f(QStringLiteral("Helvetica"));
        f.setPointSizeF(points);
        f.setBold(bold);
        return f;
    }
    qreal lineHeight(const QFont &f) const
    {
        return QFontMetricsF(f, m_painter.device()).lineSpacing();
    }
    qreal rowHeight() const { return lineHeight(m_bodyFont) + 2 * m_unit; }

    void text(const QFont &f, const QRectF &box, int flags, const QString &string)
    {
        if (!m_painting)
            return;
        m_painter.setFont(f);
        const QString elided =
            QFontMetricsF(f, m_painter.device()).elidedText(string, Qt::ElideRight, box.width());
        m_painter.drawText(box, flags | Qt::TextSingleLine, elided);
    }
    void line(qreal y, qreal width)
    {
        if (!m_painting)
            return;
        m_painter.setPen(QPen(Qt::black, width * m_unit));
        m_painter.drawLine(QPointF(m_page.left(), y), QPointF(m_page.right(), y));
    }
    // One line of text at the cursor, across the page.
    void writeLine(const QFont &f, const QString &string, qreal spaceAfter = 0)
    {
        const qreal height = lineHeight(f);
        text(f, QRectF(m_page.left(), m_y, m_page.width(), height), Qt::AlignLeft, string);
        m_y += height + spaceAfter * m_unit;
    }

    void ensureRoom(qreal height)
    {
        if (m_y + height > m_bottom && m_y > m_top)
            breakPage();
    }
    void finishPage()
    {
        text(m_smallFont,
             QRectF(m_page.left(), m_page.bottom() - lineHeight(m_smallFont), m_page.width(),
                    lineHeight(m_smallFont)),
             Qt::AlignHCenter, tr("Page %1 of %2").arg(m_pageNumber).arg(m_pageCount));
    }
    void breakPage()
    {
        finishPage();
        if (m_painting && !m_newPage())
            m_painting = false; // the device refuses more pages: stop painting
        ++m_pageNumber;
        m_y = m_top;
        writeLine(m_smallFont, m_title, 4);
    }

    void writeTitle(const DocumentReportContent &content)
    {
        m_title = content.title;
        writeLine(m_titleFont, content.title, 2);
        std::size_t taxa = 0;
        for (const ReportCollection &collection : content.collections)
            taxa += collection.taxa.size();
        writeLine(
            m_bodyFont,
            tr("%1 collections, %2 species entries").arg(content.collections.size()).arg(taxa));
        if (!content.chao2Text.isEmpty())
            writeLine(m_bodyFont, content.chao2Text);
        if (content.collections.empty())
            writeLine(m_bodyFont, tr("This document holds no collection."));
        m_y += 6 * m_unit;
    }

    void writeCollection(const ReportCollection &collection)
    {
        const qreal measureRows = collection.measures.empty()
                                      ? 1
                                      : static_cast<qreal>((collection.measures.size() + 1) / 2);
        // The heading stays with the measures, the table header and a row.
        ensureRoom(lineHeight(m_headingFont) + measureRows * rowHeight() + 3 * rowHeight());
        m_y += 8 * m_unit;
        writeLine(m_headingFont, collection.name, 3);
        writeMeasures(collection);
        m_y += 4 * m_unit;
        if (collection.taxa.empty()) {
            writeLine(m_bodyFont, tr("No species."));
            return;
        }
        writeTableHeader();
        for (const ReportTaxonRow &row : collection.taxa) {
            if (m_y + rowHeight() > m_bottom) {
                breakPage();
                writeLine(m_boldFont, tr("%1 (continued)").arg(collection.name), 2);
                writeTableHeader();
            }
            writeTaxonRow(row);
        }
    }

    void writeMeasures(const ReportCollection &collection)
    {
        if (collection.measures.empty()) {
            writeLine(m_bodyFont, tr("No measures calculated yet."));
            return;
        }
        const qreal half = m_page.width() / 2;
        const qreal labelWidth = half * 0.62;
        for (std::size_t i = 0; i < collection.measures.size(); ++i) {
            const qreal x = m_page.left() + (i % 2 == 0 ? 0 : half);
            const auto &[label, value] = collection.measures[i];
            text(m_bodyFont, QRectF(x, m_y, labelWidth, rowHeight()), Qt::AlignLeft, label);
            text(m_bodyFont, QRectF(x + labelWidth, m_y, half * 0.3, rowHeight()), Qt::AlignRight,
                 value);
            if (i % 2 == 1 || i + 1 == collection.measures.size())
                m_y += rowHeight();
        }
    }

    // Columns: the name, the abundance (right-aligned), whether it is counted.
    std::array<QRectF, 3> columns() const
    {
        const qreal w = m_page.width();
        const qreal x = m_page.left();
        return {QRectF(x, m_y, w * 0.6, rowHeight()),
                QRectF(x + w * 0.6, m_y, w * 0.2, rowHeight()),
                QRectF(x + w * 0.8, m_y, w * 0.2, rowHeight())};
    }
    void writeTableHeader()
    {
        const auto cells = columns();
        text(m_boldFont, cells[0], Qt::AlignLeft, tr("Species"));
        text(m_boldFont, cells[1], Qt::AlignRight, tr("Abundance"));
        text(m_boldFont, cells[2], Qt::AlignHCenter, tr("Counted"));
        m_y += rowHeight();
        line(m_y, 0.5);
    }
    void writeTaxonRow(const ReportTaxonRow &row)
    {
        const auto cells = columns();
        text(m_bodyFont, cells[0].adjusted(0, m_unit, 0, 0), Qt::AlignLeft, row.name);
        text(m_bodyFont, cells[1].adjusted(0, m_unit, 0, 0), Qt::AlignRight, row.abundance);
        text(m_bodyFont, cells[2].adjusted(0, m_unit, 0, 0), Qt::AlignHCenter,
             row.counted ? tr("yes") : tr("no"));
        m_y += rowHeight();
    }

    QPainter &m_painter;
    QRectF m_page;
    std::function<bool()> m_newPage;
    int m_pageCount;
    bool m_painting;
    qreal m_unit = 1;
    QFont m_titleFont, m_headingFont, m_bodyFont, m_boldFont, m_smallFont;
    qreal m_top = 0, m_bottom = 0, m_y = 0;
    int m_pageNumber = 1;
    QString m_title;
};

} // namespace

DocumentReportContent makeDocumentReport(const Store &store, const QString &title,
                                         const QString &chao2Text)
{
    DocumentReportContent content{title, chao2Text, {}};
    std::vector<Census> censuses = store.createArrayOfAllCensuses();
    std::stable_sort(censuses.begin(), censuses.end(), censusDisplayLess);
    for (const Census &census : censuses) {
        ReportCollection collection{
            nameOr(census.censusName, "Unnamed collection"), storedMeasures(census), {}};
        std::vector<Taxon> taxa = store.taxaOfCensus(census.id);
        std::stable_sort(taxa.begin(), taxa.end(), taxonDisplayLess);
        for (const Taxon &taxon : taxa) {
            collection.taxa.push_back({nameOr(taxon.taxonName, "(unnamed)"),
                                       MetricsPanel::formatInteger(taxon.abundance),
                                       taxon.includeTaxon});
        }
        content.collections.push_back(std::move(collection));
    }
    return content;
}

int paintDocumentReport(QPainter &painter, const QRectF &pageRect,
                        const DocumentReportContent &content, const std::function<bool()> &newPage)
{
    const int pages = ReportWriter(painter, pageRect, newPage, 0).write(content);
    return ReportWriter(painter, pageRect, newPage, pages).write(content);
}

int paintDocumentReport(QPagedPaintDevice &device, const DocumentReportContent &content)
{
    QPainter painter(&device);
    const QRectF page = device.pageLayout().paintRectPixels(device.logicalDpiX());
    // The painter's origin is the paintable area's corner.
    const QRectF area(0, 0, page.width(), page.height());
    const int pages =
        paintDocumentReport(painter, area, content, [&device] { return device.newPage(); });
    painter.end();
    return pages;
}

} // namespace quorvella
