#include "ExternalTool.h"
#include "log/Log.h"
#include "plot/PictureExport.h"
#include "plot/RarefactionPainter.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <string>
#include <vector>

using namespace quorvella;
using quorvella::testing::runTool;

namespace {

// A curve from (1, 1) straight up to (50, 23.7), with a 95 % band one taxon
// and a 99 % band two taxa either side of it.
std::vector<Rarefaction> straightCurve(int nMax = 50, double eMax = 23.7)
{
    std::vector<Rarefaction> points;
    for (int n = 1; n <= nMax; ++n) {
        Rarefaction r;
        r.theSampleSize = n;
        r.theE = 1.0 + (eMax - 1.0) * (n - 1) / (nMax - 1);
        r.lower95 = r.theE - 1.0;
        r.upper95 = r.theE + 1.0;
        r.lower99 = r.theE - 2.0;
        r.upper99 = r.theE + 2.0;
        points.push_back(r);
    }
    return points;
}

QImage render(const std::vector<Rarefaction> &points, PlotStyle style, QSize size = {500, 400})
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintRarefactionPicture(painter, size, points, style);
    return image;
}

bool isWhite(QColor c)
{
    return c.alpha() == 255 && c.red() > 245 && c.green() > 245 && c.blue() > 245;
}

// Antialiased one-point lines at whole coordinates spread over two rows or
// columns; either shows the line.
bool isDarkNear(const QImage &image, QPoint p, Qt::Orientation across)
{
    const QPoint step = across == Qt::Vertical ? QPoint(0, 1) : QPoint(1, 0);
    for (const QPoint q : {p - step, p, p + step}) {
        if (QColor(image.pixel(q)).lightness() < 170) {
            return true;
        }
    }
    return false;
}

bool hasDarkPixelIn(const QImage &image, QRect area)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (QColor(image.pixel(x, y)).lightness() < 128) {
                return true;
            }
        }
    }
    return false;
}

bool close(QColor actual, QColor expected, int tolerance = 12)
{
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

const QColor blue(0, 0, 255);
const QColor blueBand(204, 204, 255); // blue at alpha 0.2 over white

// Where a data value lands in a 500 x 400 picture of straightCurve():
// x0 = 50, y0 = 40 from the bottom, 8 units per individual, 320 / 23.7 per taxon.
double xAt(double n)
{
    return 50.0 + 8.0 * n;
}
double yAt(double e)
{
    return 400.0 - (40.0 + 320.0 / 23.7 * e);
}

} // namespace

class RarefactionPictureTest : public QObject
{
    Q_OBJECT

private slots:
    void noPointsDrawNothing();
    void axesTicksAndLabels_data();
    void axesTicksAndLabels();
    void axesAreCrispOnPixels();
    void curveAndBand_data();
    void curveAndBand();
    void unknownLevelLogsAndDrawsNoBand();
    void bandLimitsThatAreNotNumbersGiveNoBand();
    void rescalesWithTheSize();
    void pdfHasOnePageAndRealText();
    void svgAndPngCarryThePicture();
};

void RarefactionPictureTest::noPointsDrawNothing()
{
    const QImage image = render({}, PlotStyle{});
    QCOMPARE(image.pixelColor(250, 200).alpha(), 0);
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
}

void RarefactionPictureTest::axesTicksAndLabels_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("dark");
    QTest::addColumn<Qt::Orientation>("across");

    QTest::newRow("x axis") << QPoint(400, 360) << true << Qt::Vertical;
    QTest::newRow("x axis ends at 90 %") << QPoint(455, 360) << false << Qt::Vertical;
    QTest::newRow("y axis") << QPoint(50, 100) << true << Qt::Horizontal;
    QTest::newRow("y axis reaches 23.7") << QPoint(50, 42) << true << Qt::Horizontal;
    QTest::newRow("y axis ends at 90 %") << QPoint(50, 35) << false << Qt::Horizontal;
    QTest::newRow("x tick at 30") << QPoint(290, 365) << true << Qt::Horizontal;
    QTest::newRow("x tick at 50") << QPoint(450, 365) << true << Qt::Horizontal;
    QTest::newRow("between x ticks") << QPoint(330, 365) << false << Qt::Horizontal;
    QTest::newRow("y tick at 20") << QPoint(46, int(std::lround(yAt(20)))) << true << Qt::Vertical;
    QTest::newRow("no y tick at the top") << QPoint(46, 40) << false << Qt::Vertical;
}

void RarefactionPictureTest::axesTicksAndLabels()
{
    QFETCH(QPoint, point);
    QFETCH(bool, dark);
    QFETCH(Qt::Orientation, across);
    const QImage image = render(straightCurve(), PlotStyle{blue, 95});
    if (dark) {
        QVERIFY(isDarkNear(image, point, across));
    } else {
        QVERIFY(isWhite(image.pixelColor(point)));
    }
}

// On pixels each axis is one black row or column with white beside it, not
// two rows of antialiased grey.
void RarefactionPictureTest::axesAreCrispOnPixels()
{
    const QImage image = render(straightCurve(), PlotStyle{blue, 95});
    const auto shades = [&](QPoint from, QPoint step) {
        QList<int> lightness;
        for (int i = 0; i < 9; ++i) {
            lightness << QColor(image.pixel(from + i * step)).lightness();
        }
        return lightness;
    };
    const QList<int> crisp{255, 255, 255, 255, 0, 255, 255, 255, 255};
    QCOMPARE(shades(QPoint(250, 356), QPoint(0, 1)), crisp); // the x axis at y = 360
    QCOMPARE(shades(QPoint(46, 198), QPoint(1, 0)), crisp);  // the y axis at x = 50
}

void RarefactionPictureTest::curveAndBand_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<double>("offsetAboveCurve");
    QTest::addColumn<QColor>("expected");

    QTest::newRow("curve") << 95 << 0.0 << blue;
    QTest::newRow("95 % band") << 95 << 8.0 << blueBand;
    QTest::newRow("outside the 95 % band") << 95 << 20.0 << QColor(Qt::white);
    QTest::newRow("99 % band") << 99 << 20.0 << blueBand;
    QTest::newRow("outside the 99 % band") << 99 << 34.0 << QColor(Qt::white);
}

void RarefactionPictureTest::curveAndBand()
{
    QFETCH(int, level);
    QFETCH(double, offsetAboveCurve);
    QFETCH(QColor, expected);
    const auto points = straightCurve();
    const QImage image = render(points, PlotStyle{blue, level});
    const Rarefaction &middle = points[24];
    const QPoint at(int(std::lround(xAt(middle.theSampleSize))),
                    int(std::lround(yAt(middle.theE) - offsetAboveCurve)));
    QVERIFY2(close(image.pixelColor(at), expected),
             qPrintable(image.pixelColor(at).name() +
                        QStringLiteral(" at %1,%2").arg(at.x()).arg(at.y())));
}

void RarefactionPictureTest::unknownLevelLogsAndDrawsNoBand()
{
    std::vector<std::string> lines;
    const LogSink previous = setLogSink([&](std::string_view line) { lines.emplace_back(line); });
    const auto points = straightCurve();
    const QImage image = render(points, PlotStyle{blue, 90});
    setLogSink(previous);

    QCOMPARE(lines.size(), std::size_t(2));
    QCOMPARE(lines[0], "ERROR: Confidence level is not 95 or 99 in drawRect in RarefactionView");
    QCOMPARE(lines[1], "ERROR - Confidence level is 90 in drawRect in RarefactionView");
    const QPoint curve(int(xAt(25)), int(std::lround(yAt(points[24].theE))));
    QVERIFY(close(image.pixelColor(curve), blue));
    QVERIFY(isWhite(image.pixelColor(curve - QPoint(0, 8))));
}

void RarefactionPictureTest::bandLimitsThatAreNotNumbersGiveNoBand()
{
    auto points = straightCurve();
    for (Rarefaction &point : points) {
        point.lower95 = std::nan("");
        point.upper95 = std::nan("");
    }
    const QImage image = render(points, PlotStyle{blue, 95});
    const QPoint curve(int(xAt(25)), int(std::lround(yAt(points[24].theE))));
    QVERIFY(close(image.pixelColor(curve), blue));
    QVERIFY(isWhite(image.pixelColor(curve - QPoint(0, 8))));
    QVERIFY(isDarkNear(image, QPoint(400, 360), Qt::Vertical));
}

void RarefactionPictureTest::rescalesWithTheSize()
{
    const auto points = straightCurve();
    const QImage image = render(points, PlotStyle{blue, 95}, QSize(1000, 800));
    // Everything doubles: the x tick at 30 stands at 580 and is 16 long.
    QVERIFY(isDarkNear(image, QPoint(580, 735), Qt::Horizontal));
    QVERIFY(isWhite(image.pixelColor(580, 740)));
    const QPoint curve(int(2 * xAt(25)), int(std::lround(2 * yAt(points[24].theE))));
    QVERIFY(close(image.pixelColor(curve), blue));
    // The label "30" sits from 3 to 2 tick lengths below the axis.
    QVERIFY(hasDarkPixelIn(image, QRect(572, 736 + 16, 30, 20)));
}

void RarefactionPictureTest::pdfHasOnePageAndRealText()
{
    const auto points = straightCurve();
    const QByteArray pdf =
        picturePdf({points, PlotStyle{blue, 95}, QSizeF(500, 400), 1.0, QStringLiteral("Pond 3")});
    QVERIFY(pdf.startsWith("%PDF-"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plot.pdf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(pdf);
    file.close();

    const QString info = runTool(QStringLiteral("pdfinfo"), {path});
    QVERIFY2(!info.isEmpty(), "pdfinfo (poppler-utils) is needed: tools/install-deps.sh");
    QVERIFY(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
    QVERIFY(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+500 x 400 pts"))));
    QVERIFY(info.contains(QStringLiteral("Pond 3")));

    const QString text = runTool(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    const QStringList words =
        text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    for (const char *label : {"0", "10", "20", "30", "40", "50", "5", "15"}) {
        QVERIFY2(words.contains(QLatin1String(label)), label);
    }
    QVERIFY(!words.contains(QStringLiteral("25")));
}

void RarefactionPictureTest::svgAndPngCarryThePicture()
{
    const auto points = straightCurve();
    const PictureSource source{points, PlotStyle{blue, 95}, QSizeF(500, 400), 2.0,
                               QStringLiteral("Pond 3")};
    const QByteArray svg = pictureSvg(source);
    QSvgRenderer renderer(svg);
    QVERIFY(renderer.isValid());
    QCOMPARE(renderer.viewBoxF(), QRectF(0, 0, 500, 400));
    QVERIFY(svg.contains(">30<"));

    QImage png;
    QVERIFY(png.loadFromData(picturePng(source), "PNG"));
    QCOMPARE(png.size(), QSize(1000, 800));
    QVERIFY(
        close(png.pixelColor(int(2 * xAt(25)), int(std::lround(2 * yAt(points[24].theE)))), blue));
}

QTEST_MAIN(RarefactionPictureTest)
#include "RarefactionPictureTest.moc"
