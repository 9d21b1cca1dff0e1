#include "ExternalTool.h"
#include "document/ScriptedUi.h"
#include "plot/DiversityPainter.h"
#include "plot/DiversityView.h"
#include "plot/PictureExport.h"
#include "plot/PlotFiles.h"

#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

using namespace quorvella;
using quorvella::testing::runTool;

namespace {

// Two collections on straight lines (y = x / 2 and y = x / 4) sampled at
// 1..40, the reference sample at 20, with bands one unit either side.
DiversityPicture twoCollections(int panels, bool bands)
{
    DiversityPicture picture;
    picture.bands = bands;
    for (int p = 0; p < panels; ++p) {
        DiversityPanel panel;
        panel.title = QStringLiteral("q = %1").arg(p);
        panel.xTitle = QStringLiteral("Number of individuals");
        panel.yTitle = QStringLiteral("Species diversity");
        for (const auto &[name, slope] : {std::pair{"Pond A", 0.5}, std::pair{"Pond B", 0.25}}) {
            CurveSeries series{QString::fromLatin1(name), {}};
            for (int m = 1; m <= 40; ++m) {
                const CurvePart part = m < 20    ? CurvePart::Interpolated
                                       : m == 20 ? CurvePart::Reference
                                                 : CurvePart::Extrapolated;
                const double y = slope * m;
                series.points.push_back({double(m), y, y - 1.0, y + 1.0, part});
            }
            panel.series.push_back(series);
        }
        picture.panels.push_back(panel);
    }
    return picture;
}

// One panel of `count` collections: twoCollections' first panel repeated.
DiversityPicture manyCollections(int count)
{
    const DiversityPicture two = twoCollections(1, true);
    DiversityPicture picture = two;
    picture.panels.front().series.clear();
    for (int i = 0; i < count; ++i) {
        CurveSeries series = two.panels.front().series[std::size_t(i % 2)];
        series.name = QStringLiteral("Pond %1").arg(i);
        for (CurvePoint &point : series.points) {
            point.y *= 1.0 + i / 10.0;
        }
        picture.panels.front().series.push_back(series);
    }
    return picture;
}

QImage render(const DiversityPicture &picture, QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintDiversityPicture(painter, size, picture);
    return image;
}

bool close(QColor actual, QColor expected, int tolerance = 40)
{
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

// Antialiased lines spread over neighbouring pixels; any of them will do.
bool colouredNear(const QImage &image, QPointF p, QColor color, int tolerance = 40)
{
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (close(image.pixelColor(p.toPoint() + QPoint(dx, dy)), color, tolerance)) {
                return true;
            }
        }
    }
    return false;
}

// How many of the pixels along a data segment show the colour.
int colouredAlong(const QImage &image, const PanelFrame &frame, QPointF from, QPointF to,
                  QColor color, int samples)
{
    int coloured = 0;
    for (int i = 0; i < samples; ++i) {
        const double t = (i + 0.5) / samples;
        const QPointF p =
            frame.at(from.x() + t * (to.x() - from.x()), from.y() + t * (to.y() - from.y()));
        coloured += colouredNear(image, p, color) ? 1 : 0;
    }
    return coloured;
}

} // namespace

class DiversityPictureTest : public QObject
{
    Q_OBJECT

private slots:
    void solidThenDashedWithBands_data();
    void solidThenDashedWithBands();
    void paletteCyclesLineStyles();
    void pdfCarriesTitlesAndNames();
    void viewShowsThePictureAtEachSize_data();
    void viewShowsThePictureAtEachSize();
    void manyCurvesLegendAndFile_data();
    void manyCurvesLegendAndFile();
};

void DiversityPictureTest::solidThenDashedWithBands_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("panels");
    QTest::newRow("one panel, small") << QSize(600, 300) << 1;
    QTest::newRow("three panels, large") << QSize(1500, 600) << 3;
}

void DiversityPictureTest::solidThenDashedWithBands()
{
    QFETCH(QSize, size);
    QFETCH(int, panels);
    const DiversityPicture picture = twoCollections(panels, true);
    const QImage image = render(picture, size);
    const DiversityLayout layout = layoutDiversityPicture(size, picture, &image);
    QCOMPARE(int(layout.panels.size()), panels);
    const QColor first = diversitySeriesColor(0);
    const QColor second = diversitySeriesColor(1);

    for (const PanelFrame &frame : layout.panels) {
        // Interpolated: unbroken. Extrapolated: coloured with gaps.
        QCOMPARE(colouredAlong(image, frame, {3, 1.5}, {18, 9}, first, 30), 30);
        const int dashed = colouredAlong(image, frame, {22, 11}, {38, 19}, first, 60);
        QVERIFY2(dashed > 10 && dashed < 55, qPrintable(QString::number(dashed)));
        // The reference sample is a filled marker.
        QVERIFY(close(image.pixelColor(frame.at(20, 10).toPoint()), first, 10));
        // Half a unit off the curve lies inside the band: tinted, not white.
        const QColor band = image.pixelColor(frame.at(10, 5.6).toPoint());
        QVERIFY(band.red() < 245 || band.green() < 245 || band.blue() < 245);
        QVERIFY(close(band, Qt::white, 70));
    }

    // The legend names both collections, each beside its colour.
    QVERIFY(!layout.legend.isEmpty());
    QVERIFY(layout.legend.left() > layout.panels.back().plot.right());
    const double row0 = layout.legend.top() + 7;
    const double row1 = layout.legend.top() + 21;
    QVERIFY(colouredNear(image, QPointF(layout.legend.left() + 4, row0), first, 70));
    QVERIFY(colouredNear(image, QPointF(layout.legend.left() + 4, row1), second, 70));

    // Without bootstrap there is no band: the same spot is white.
    const QImage plain = render(twoCollections(panels, false), size);
    const QPointF spot = layout.panels.front().at(10, 5.6);
    QVERIFY(close(plain.pixelColor(spot.toPoint()), Qt::white, 3));
}

void DiversityPictureTest::paletteCyclesLineStyles()
{
    QCOMPARE(diversitySeriesColor(0), QColor(0x00, 0x72, 0xb2));
    QCOMPARE(diversitySeriesColor(8), diversitySeriesColor(0));
    QVERIFY(diversitySeriesColor(1) != diversitySeriesColor(0));
    QCOMPARE(diversityExtrapolatedStyle(7), Qt::DashLine);
    QCOMPARE(diversityExtrapolatedStyle(8), Qt::DotLine);
    QVERIFY(diversityExtrapolatedStyle(16) != diversityExtrapolatedStyle(8));
}

void DiversityPictureTest::pdfCarriesTitlesAndNames()
{
    DiversityPicture picture = twoCollections(3, true);
    const PictureDrawing drawing{[&picture](QPainter &painter, QSizeF size) {
                                     paintDiversityPicture(painter, size, picture);
                                 },
                                 QSizeF(900, 360), 1.0, QStringLiteral("Ponds")};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("diversity.pdf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(picturePdf(drawing));
    file.close();

    const QString text = runTool(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    QVERIFY2(!text.isEmpty(), "pdftotext (poppler-utils) is needed: tools/install-deps.sh");
    // pdftotext may close up the spaces around "=".
    const QString flat = text.simplified().replace(QStringLiteral("q="), QStringLiteral("q = "));
    for (const char *expected :
         {"Number of individuals", "Species diversity", "Pond A", "Pond B", "q = 0", "q = 2"}) {
        QVERIFY2(flat.contains(QLatin1String(expected)), qPrintable(flat));
    }
}

void DiversityPictureTest::viewShowsThePictureAtEachSize_data()
{
    QTest::addColumn<int>("collections");
    QTest::addColumn<bool>("drawnAside");
    QTest::newRow("few curves, drawn on the widget") << 3 << false;
    QTest::newRow("many curves, drawn on another thread") << 200 << true;
}

// Whichever way the view draws, once it is done it shows exactly what the
// painter draws at its size, after a new picture and after a resize.
void DiversityPictureTest::viewShowsThePictureAtEachSize()
{
    QFETCH(int, collections);
    QFETCH(bool, drawnAside);
    DiversityView view;
    view.resize(700, 320);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const auto shown = [&view] {
        return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    const auto expected = [&view] {
        return render(view.picture(), view.size()).convertToFormat(QImage::Format_RGB32);
    };
    view.setPicture(twoCollections(2, true));
    QTRY_VERIFY(!view.isRendering());
    view.setPicture(manyCollections(collections));
    QCOMPARE(view.isRendering(), drawnAside);
    QTRY_VERIFY(!view.isRendering());
    QCOMPARE(shown(), expected());
    view.resize(900, 400);
    QCOMPARE(view.isRendering(), drawnAside);
    QTRY_VERIFY(!view.isRendering());
    QCOMPARE(shown(), expected());
}

void DiversityPictureTest::manyCurvesLegendAndFile_data()
{
    QTest::addColumn<int>("collections");
    QTest::addColumn<bool>("listed");
    QTest::newRow("32 curves, each listed") << 32 << true;
    QTest::newRow("33 curves, counted") << 33 << false;
    QTest::newRow("200 curves, drawn on another thread") << 200 << false;
}

// The legend lists as many curves as colour and line style tell apart, and
// beyond says how many there are; a saved picture holds the same bytes
// whether it was drawn here or on another thread.
void DiversityPictureTest::manyCurvesLegendAndFile()
{
    QFETCH(int, collections);
    QFETCH(bool, listed);
    DiversityView view;
    view.resize(900, 400);
    view.setPicture(manyCollections(collections));
    const PictureDrawing drawing = view.drawing(QStringLiteral("Ponds"));
    QCOMPARE(drawing.drawsLong, collections > int(DiversityView::largestDirectCurves));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ponds.svg"));
    ScriptedUi ui;
    ui.savePaths.enqueue(path);
    savePictureWithPanel(ui, PictureFormat::Svg, drawing);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    QCOMPARE(saved, pictureSvg(drawing));
    const QString lastName = QStringLiteral(">Pond %1<").arg(collections - 1);
    QCOMPARE(saved.contains(lastName.toUtf8()), listed);
    QCOMPARE(saved.contains(QStringLiteral(">%1 collections<").arg(collections).toUtf8()), !listed);
}

QTEST_MAIN(DiversityPictureTest)
#include "DiversityPictureTest.moc"
