// The printed report, rendered to PDF and read back as text with pdftotext.

#include "document/DocumentReport.h"

#include "DocumentFixtures.h"
#include "TestSettings.h"
#include "document/DocumentPrinting.h"
#include "document/MyDocument.h"
#include "document/ScriptedUi.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace quorvella;
using namespace quorvella::testing;
using namespace Qt::StringLiterals;

namespace {

// The text of a PDF, page by page (pdftotext ends each page with a form feed).
QStringList pdfPages(const QByteArray &pdf)
{
    QProcess process;
    process.start(u"pdftotext"_s, {u"-layout"_s, u"-"_s, u"-"_s});
    process.write(pdf);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.constLast().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QByteArray reportPdf(const DocumentReportContent &content, int *pageCount = nullptr)
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        const int pages = paintDocumentReport(writer, content);
        if (pageCount)
            *pageCount = pages;
    }
    return pdf;
}

struct Document
{
    MyDocument document;
    std::shared_ptr<ScriptedUi> ui = std::make_shared<ScriptedUi>();
    Document() { document.setUi(ui); }
};

} // namespace

class DocumentReportTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }
    void init() { isolateSettings(); }

    void eachCollectionWithItsMeasuresAndTaxaInDisplayOrder()
    {
        Document d;
        addCensus(d.document.store(), "Station B", {{"Orbulina", 3}, {"Globigerina", 12}});
        const RecordId a = addCensus(d.document.store(), "Station A",
                                     {{"uncounted one", 7, false}, {"Zeta", 7}, {"alpha", 7}});
        d.document.selectCollection(a);
        d.document.calculateSampleMetrics();
        const Census stored = *d.document.store().findCensus(a);

        const QStringList pages =
            pdfPages(reportPdf(makeDocumentReport(d.document.store(), u"survey.qvl"_s, {})));
        QCOMPARE(pages.size(), 1);
        const QString text = pages.constFirst();
        // Collections by name, taxa by abundance then name; every stored
        // measure with the value the window shows.
        const QStringList inOrder{
            u"survey.qvl"_s,    u"Station A"_s, u"Richness"_s,   u"alpha"_s,
            u"uncounted one"_s, u"Zeta"_s,      u"Station B"_s,  u"No measures calculated yet."_s,
            u"Globigerina"_s,   u"Orbulina"_s,  u"Page 1 of 1"_s};
        qsizetype at = 0;
        for (const QString &expected : inOrder) {
            const qsizetype found = text.indexOf(expected, at);
            QVERIFY2(found >= 0, qPrintable(expected + u" missing or out of order in:\n"_s + text));
            at = found + expected.size();
        }
        QVERIFY(text.contains(QRegularExpression(u"Richness\\s+2\\b"_s)));
        QVERIFY(text.contains(QRegularExpression(u"Census size\\s+14\\b"_s)));
        QVERIFY(text.contains(QString::number(*stored.shannon, 'g', 6)));
        QVERIFY(text.contains(QRegularExpression(u"uncounted one\\s+7\\s+no"_s)));
    }

    void longCollectionsContinueOnNumberedPages()
    {
        Store store;
        const RecordId first = addCensus(store, "Long");
        for (int i = 0; i < 150; ++i) {
            Taxon taxon;
            taxon.taxonName = "taxon " + std::to_string(1000 + i);
            taxon.abundance = 1000 - i; // display order = creation order
            taxon.census = first;
            store.insertTaxon(taxon);
        }
        addCensus(store, "Short", {{"last one", 1}});
        int painted = 0;
        const QStringList pages =
            pdfPages(reportPdf(makeDocumentReport(store, u"long.qvl"_s, {}), &painted));
        QVERIFY(pages.size() >= 3);
        QCOMPARE(painted, pages.size());
        const QString all = pages.join(QString());
        for (int page = 1; page <= pages.size(); ++page)
            QVERIFY(pages.at(page - 1).contains(u"Page %1 of %2"_s.arg(page).arg(pages.size())));
        QVERIFY(pages.at(1).contains(u"Long (continued)"_s));
        qsizetype at = 0;
        for (int i = 0; i < 150; ++i) {
            const QString name = u"taxon %1"_s.arg(1000 + i);
            QCOMPARE(all.count(name), 1);
            const qsizetype found = all.indexOf(name, at);
            QVERIFY2(found > at || i == 0, qPrintable(name));
            at = found;
        }
        QVERIFY(all.indexOf(u"last one"_s) > at);
    }

    void aRasterDeviceGetsThePagesItCanHold()
    {
        Store store;
        addCensus(store, "Only", {{"x", 1}});
        QImage image(600, 800, QImage::Format_RGB32);
        image.fill(Qt::white);
        const QImage blank = image.copy();
        QPainter painter(&image);
        const int pages =
            paintDocumentReport(painter, QRectF(20, 20, 560, 760),
                                makeDocumentReport(store, u"t"_s, {}), [] { return false; });
        painter.end();
        QCOMPARE(pages, 1);
        QVERIFY(image != blank);
    }

    void printAndExportShowTheSameReport()
    {
        QTemporaryDir dir;
        Document d;
        addCensus(d.document.store(), "Pond", {{"Daphnia", 4}});
        d.document.setChao2Text(u"Chao-2: 1.000"_s);
        printDocument(d.document);
        QCOMPARE(d.ui->eventsOf(ScriptedUi::Kind::PrintPreview).size(), 1);
        const QStringList printed = pdfPages(d.ui->printedPdf);
        QCOMPARE(printed.size(), 1);
        QVERIFY(printed.constFirst().contains(u"Chao-2: 1.000"_s));

        const QString path = dir.filePath(u"report.pdf"_s);
        d.ui->savePaths.enqueue(path);
        QVERIFY(exportDocumentAsPdf(d.document));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(pdfPages(file.readAll()), printed);
        QCOMPARE(d.ui->unexpectedQuestions, 0);
    }
};

QTEST_MAIN(DocumentReportTest)
#include "DocumentReportTest.moc"
