#include "textio/RarefactionTable.h"

#include "plot/Chao2Text.h"

#include <QtTest>
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace quorvella;

Q_DECLARE_METATYPE(quorvella::Rarefaction)

namespace {

const std::string header = "n,E,Var,lower95,upper95,lower99,upper99\r";

Rarefaction point(int n, double e, double var, double l95, double u95, double l99, double u99)
{
    Rarefaction r;
    r.theSampleSize = n;
    r.theE = e;
    r.theVar = var;
    r.lower95 = l95;
    r.upper95 = u95;
    r.lower99 = l99;
    r.upper99 = u99;
    return r;
}

} // namespace

class RarefactionTableTest : public QObject
{
    Q_OBJECT

private slots:
    void oneLine_data();
    void oneLine();
    void tenIndividualsGiveElevenLines();
    void chao2Text_data();
    void chao2Text();
};

void RarefactionTableTest::oneLine_data()
{
    QTest::addColumn<Rarefaction>("record");
    QTest::addColumn<QByteArray>("line");

    const double nan = std::nan("");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("worked example")
        << point(50, 12.5, 2.25, 9.56, 15.44, 8.636, 16.364)
        << QByteArray("      50,  12.500,   2.250,   9.560,  15.440,   8.636,  16.364\r");
    QTest::newRow("first point") << point(1, 1, 0, 1, 1, 1, 1)
                                 << QByteArray("       1,   1.000,   0.000,   1.000,   1.000,"
                                               "   1.000,   1.000\r");
    QTest::newRow("wide fields widen")
        << point(123456789, 12345678.125, 0, -1, 1, -2, 2)
        << QByteArray("123456789,12345678.125,   0.000,  -1.000,   1.000,  -2.000,   2.000\r");
    QTest::newRow("limits that are not numbers")
        << point(3, 2.5, nan, -nan, nan, inf, -inf)
        << QByteArray("       3,   2.500,     nan,     nan,     nan,     inf,    -inf\r");
    QTest::newRow("huge value keeps its digits")
        << point(2, 1e20, 0, 0, 0, 0, 0)
        << QByteArray("       2,100000000000000000000.000,   0.000,   0.000,   0.000,   0.000,"
                      "   0.000\r");
}

void RarefactionTableTest::oneLine()
{
    QFETCH(Rarefaction, record);
    QFETCH(QByteArray, line);
    const std::vector<Rarefaction> points{record};
    const std::string text = rarefactionTableText(points);
    QCOMPARE(QByteArray::fromStdString(text), QByteArray::fromStdString(header) + line);
}

void RarefactionTableTest::tenIndividualsGiveElevenLines()
{
    std::vector<Rarefaction> points;
    for (int n = 1; n <= 10; ++n) {
        points.push_back(point(n, std::sqrt(n), 0.5, 1, 2, 0, 3));
    }
    const std::string text = rarefactionTableText(points);
    QCOMPARE(std::count(text.begin(), text.end(), '\r'), 11);
    QCOMPARE(std::count(text.begin(), text.end(), '\n'), 0);
    QVERIFY(text.ends_with('\r'));
    QCOMPARE(text.substr(header.size(), 9), std::string("       1,"));
    for (const char c : text) {
        QVERIFY(static_cast<unsigned char>(c) < 128);
    }
}

void RarefactionTableTest::chao2Text_data()
{
    QTest::addColumn<double>("estimate");
    QTest::addColumn<QString>("text");

    QTest::newRow("10/3 in single precision")
        << double(10.0f / 3.0f) << QStringLiteral("Chao-2:   3.33");
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity()
                              << QStringLiteral("Chao-2:    inf");
    QTest::newRow("not a number") << std::nan("") << QStringLiteral("Chao-2:    nan");
    QTest::newRow("0/0 carries a sign bit") << -std::nan("") << QStringLiteral("Chao-2:    nan");
    QTest::newRow("wider than six") << 12345.678 << QStringLiteral("Chao-2: 12345.68");
    QTest::newRow("zero") << 0.0 << QStringLiteral("Chao-2:   0.00");
}

void RarefactionTableTest::chao2Text()
{
    QFETCH(double, estimate);
    QFETCH(QString, text);
    QCOMPARE(quorvella::chao2Text(estimate), text);
}

QTEST_APPLESS_MAIN(RarefactionTableTest)
#include "RarefactionTableTest.moc"
