#include "plot/RarefactionPlotController.h"

#include "PlotTestDocument.h"
#include "document/ScriptedUi.h"
#include "document/Settings.h"
#include "plot/RarefactionView.h"
#include "textio/RarefactionTable.h"

#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

using namespace quorvella;

namespace {

std::vector<Rarefaction> curveOfTen()
{
    std::vector<Rarefaction> points;
    for (int n = 1; n <= 10; ++n) {
        Rarefaction r;
        r.theSampleSize = n;
        r.theE = 1.0 + 0.5 * (n - 1);
        r.theVar = 0.1 * n;
        r.lower95 = r.theE - 0.5;
        r.upper95 = r.theE + 0.5;
        r.lower99 = r.theE - 0.8;
        r.upper99 = r.theE + 0.8;
        points.push_back(r);
    }
    return points;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class RarefactionPlotControllerTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void showsTitleAndCurve();
    void saves_data();
    void saves();
    void cancelWritesNothing_data();
    void cancelWritesNothing();
    void failedWriteAlertsAndKeepsTheWindow();
    void copiesThePicture();
    void printsThePicture();
    void viewFollowsTheSettings_data();
    void viewFollowsTheSettings();

private:
    ScriptedUi *m_ui = nullptr;
    RarefactionPlotController *m_controller = nullptr;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void RarefactionPlotControllerTest::printsThePicture()
{
    m_controller->printPicture();
    QCOMPARE(m_ui->eventsOf(ScriptedUi::Kind::PrintPreview).size(), 1);
    QCOMPARE(m_ui->events.constLast().message, QStringLiteral("Pond 3"));
    QVERIFY(m_ui->printedPdf.startsWith("%PDF"));
    QVERIFY(m_ui->printedPdf.contains("/Type /Page"));
    QVERIFY(m_ui->printedPdf.size() > 1000);
}

void RarefactionPlotControllerTest::init()
{
    testing::isolateSettings();
    m_dir = std::make_unique<QTemporaryDir>();
    m_ui = new ScriptedUi;
    m_controller = new RarefactionPlotController(*m_ui);
    m_controller->setDataPoints(curveOfTen());
    m_controller->setCollectionName(QStringLiteral("Pond 3"));
    m_controller->resize(600, 500);
    m_controller->showWindow();
}

void RarefactionPlotControllerTest::cleanup()
{
    delete m_controller;
    delete m_ui;
}

void RarefactionPlotControllerTest::showsTitleAndCurve()
{
    QCOMPARE(m_controller->windowTitle(), QStringLiteral("Pond 3"));
    QCOMPARE(m_controller->rarefactionView().points().size(), std::size_t(10));
    QVERIFY(m_controller->isVisible());
}

void RarefactionPlotControllerTest::saves_data()
{
    QTest::addColumn<int>("which"); // 0 table, 1 PDF button, 2 PNG, 3 SVG
    QTest::addColumn<QString>("extension");

    QTest::newRow("table") << 0 << QStringLiteral("csv");
    QTest::newRow("pdf") << 1 << QStringLiteral("pdf");
    QTest::newRow("png") << 2 << QStringLiteral("png");
    QTest::newRow("svg") << 3 << QStringLiteral("svg");
}

void RarefactionPlotControllerTest::saves()
{
    QFETCH(int, which);
    QFETCH(QString, extension);
    const QString path = m_dir->filePath(QStringLiteral("out.") + extension);
    m_ui->savePaths.enqueue(path);
    switch (which) {
    case 0:
        m_controller->savePlotDataAsTable();
        break;
    case 1:
        m_controller->savePlotAsPDF();
        break;
    case 2:
        m_controller->savePicture(PictureFormat::Png);
        break;
    default:
        m_controller->savePicture(PictureFormat::Svg);
        break;
    }
    const auto panels = m_ui->eventsOf(ScriptedUi::Kind::SavePanel);
    QCOMPARE(panels.size(), 1);
    QCOMPARE(panels[0].extensions, QStringList{extension});
    // Modal to the plot window, so that the document's window stays behind it.
    QCOMPARE(panels[0].window, QStringLiteral("RarefactionPlotWindow"));
    QVERIFY(m_ui->eventsOf(ScriptedUi::Kind::ErrorAlert).isEmpty());

    const QByteArray bytes = readAll(path);
    const QSize viewSize = m_controller->rarefactionView().size();
    if (which == 0) {
        QCOMPARE(bytes, QByteArray::fromStdString(rarefactionTableText(curveOfTen())));
        QCOMPARE(bytes.count('\r'), 11);
    } else if (which == 1) {
        QVERIFY(bytes.startsWith("%PDF-"));
        // One page, as large as the view, in points.
        const QRegularExpression box(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
        const QString text = QString::fromLatin1(bytes);
        QCOMPARE(text.count(box), 1);
        const QRegularExpressionMatch match = box.match(text);
        QCOMPARE(match.captured(1).toDouble(), double(viewSize.width()));
        QCOMPARE(match.captured(2).toDouble(), double(viewSize.height()));
    } else if (which == 2) {
        QImage image;
        QVERIFY(image.loadFromData(bytes, "PNG"));
        QCOMPARE(image.size(), viewSize * m_controller->devicePixelRatioF());
    } else {
        QSvgRenderer renderer(bytes);
        QVERIFY(renderer.isValid());
        QCOMPARE(renderer.viewBoxF().size(), QSizeF(viewSize));
    }
}

void RarefactionPlotControllerTest::cancelWritesNothing_data()
{
    saves_data();
}

void RarefactionPlotControllerTest::cancelWritesNothing()
{
    QFETCH(int, which);
    // No scripted path: the panel is cancelled.
    if (which == 0) {
        m_controller->savePlotDataAsTable();
    } else {
        m_controller->savePicture(static_cast<PictureFormat>(which - 1));
    }
    QCOMPARE(m_ui->eventsOf(ScriptedUi::Kind::SavePanel).size(), 1);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    QVERIFY(m_ui->lastAlert().message.isEmpty());
}

void RarefactionPlotControllerTest::failedWriteAlertsAndKeepsTheWindow()
{
    m_ui->savePaths.enqueue(m_dir->filePath(QStringLiteral("no such folder/plot.csv")));
    m_controller->savePlotDataAsTable();
    m_ui->savePaths.enqueue(m_dir->filePath(QStringLiteral("no such folder/plot.pdf")));
    m_controller->savePlotAsPDF();

    const auto alerts = m_ui->eventsOf(ScriptedUi::Kind::ErrorAlert);
    QCOMPARE(alerts.size(), 2);
    QCOMPARE(alerts[0].message, QStringLiteral("The file \"plot.csv\" could not be saved."));
    QVERIFY(!alerts[0].informativeText.isEmpty());
    QCOMPARE(alerts[1].message, QStringLiteral("The file \"plot.pdf\" could not be saved."));
    QCOMPARE(alerts[1].window, QStringLiteral("RarefactionPlotWindow"));
    QVERIFY(m_controller->isVisible());
    QCOMPARE(m_controller->dataPoints().size(), std::size_t(10));
}

void RarefactionPlotControllerTest::copiesThePicture()
{
    m_controller->copyPicture();
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    QVERIFY(mime != nullptr);
    QVERIFY(mime->hasImage());
    QVERIFY(mime->data(QStringLiteral("application/pdf")).startsWith("%PDF-"));
    QVERIFY(!mime->data(QStringLiteral("image/svg+xml")).isEmpty());
}

void RarefactionPlotControllerTest::viewFollowsTheSettings_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<bool>("wideBandShows");

    QTest::newRow("defaults") << 0 << QColor() << false;
    QTest::newRow("99 %") << 99 << QColor() << true;
    QTest::newRow("green curve") << 95 << QColor(0, 160, 0) << false;
}

// The plot reads colour and level at every drawing: a window already open
// shows a changed setting at its next redraw.
void RarefactionPlotControllerTest::viewFollowsTheSettings()
{
    QFETCH(int, level);
    QFETCH(QColor, color);
    QFETCH(bool, wideBandShows);
    RarefactionView &view = m_controller->rarefactionView();
    view.resize(500, 400);
    const QImage before = view.grab().toImage();
    if (level != 0) {
        Settings::setConfidenceLevel(level);
    }
    if (color.isValid()) {
        Settings::setRarefactionColor(color);
    }
    const QImage image = view.grab().toImage();
    const QColor curveColor = color.isValid() ? color : QColor(Qt::red);

    // The curve of ten points runs from (1, 1) to (10, 5.5): at n = 5 it
    // stands at E = 3, the 95 % band half a taxon and the 99 % one 0.8
    // taxa either side. 400 / 10 units per individual, 320 / 5.5 per taxon.
    const int x = 50 + 40 * 5;
    const double yCurve = 400 - (40 + 320 / 5.5 * 3.0);
    const int yWide = int(std::lround(yCurve - 320 / 5.5 * 0.65));
    QCOMPARE(image.pixelColor(x, int(std::lround(yCurve))).rgb(), curveColor.rgb());
    QCOMPARE(image.pixelColor(x, yWide) != QColor(Qt::white), wideBandShows);
    QCOMPARE(before.pixelColor(x, int(std::lround(yCurve))).rgb(), QColor(Qt::red).rgb());
}

QTEST_MAIN(RarefactionPlotControllerTest)
#include "RarefactionPlotControllerTest.moc"
