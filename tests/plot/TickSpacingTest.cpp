#include "plot/TickSpacing.h"

#include <QtTest>
#include <limits>

using namespace quorvella;

class TickSpacingTest : public QObject
{
    Q_OBJECT

private slots:
    void spacingAndCount_data();
    void spacingAndCount();
    void niceSpacingOfAnyAxis_data();
    void niceSpacingOfAnyAxis();
    void spacingForWideLabels_data();
    void spacingForWideLabels();
};

void TickSpacingTest::spacingAndCount_data()
{
    QTest::addColumn<float>("axisLength");
    QTest::addColumn<float>("spacing");
    QTest::addColumn<int>("ticks");

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    QTest::newRow("six fits one") << 6.0f << 1.0f << 7;
    QTest::newRow("seven needs two") << 7.0f << 2.0f << 4;
    QTest::newRow("thirty") << 30.0f << 5.0f << 7;
    QTest::newRow("thirty-one") << 31.0f << 10.0f << 4;
    QTest::newRow("fifty") << 50.0f << 10.0f << 6;
    QTest::newRow("23.7 taxa") << 23.7f << 5.0f << 5;
    QTest::newRow("one individual") << 1.0f << 1.0f << 2;
    QTest::newRow("zero") << 0.0f << 1.0f << 1;
    QTest::newRow("negative") << -3.0f << 1.0f << 0;
    QTest::newRow("twelve") << 12.0f << 2.0f << 7;
    QTest::newRow("thirteen") << 13.0f << 5.0f << 3;
    QTest::newRow("six hundred") << 600.0f << 100.0f << 7;
    QTest::newRow("1.2 million") << 1.2e6f << 200000.0f << 7;
    QTest::newRow("three million") << 3.0e6f << 500000.0f << 7;
    QTest::newRow("beyond the table") << 1.0e7f << 500000.0f << 21;
    QTest::newRow("not a number") << nan << 1.0f << 0;
    QTest::newRow("infinite") << inf << 500000.0f << 0;
}

void TickSpacingTest::spacingAndCount()
{
    QFETCH(float, axisLength);
    QFETCH(float, spacing);
    QFETCH(int, ticks);
    const float computed = calculateTickSpacingFromAxisLength(axisLength);
    QCOMPARE(computed, spacing);
    QCOMPARE(tickCount(axisLength, computed), ticks);
}

void TickSpacingTest::niceSpacingOfAnyAxis_data()
{
    QTest::addColumn<float>("axisLength");
    QTest::addColumn<float>("spacing");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("decimals");

    // Between 1 and 3,000,000 the rule is the table's.
    QTest::newRow("23.7 taxa") << 23.7f << 5.0f << 5 << 0;
    QTest::newRow("thirty-one") << 31.0f << 10.0f << 4 << 0;
    QTest::newRow("40 000 individuals") << 40000.0f << 10000.0f << 5 << 0;
    // Coverage ends at 1: 0, 0.2, ..., 1 (six ticks, the last one exact).
    QTest::newRow("coverage") << 1.0f << 0.2f << 6 << 1;
    QTest::newRow("half") << 0.5f << 0.1f << 6 << 1;
    QTest::newRow("small") << 0.07f << 0.02f << 4 << 2;
    QTest::newRow("beyond the table") << 1.0e7f << 2.0e6f << 6 << 0;
    QTest::newRow("zero") << 0.0f << 1.0f << 1 << 0;
}

void TickSpacingTest::niceSpacingOfAnyAxis()
{
    QFETCH(float, axisLength);
    QFETCH(float, spacing);
    QFETCH(int, ticks);
    QFETCH(int, decimals);
    const float computed = niceTickSpacing(axisLength);
    QCOMPARE(computed, spacing);
    QCOMPARE(tickCount(axisLength, computed), ticks);
    QCOMPARE(tickLabelDecimals(computed), decimals);
}

QTEST_APPLESS_MAIN(TickSpacingTest)
// Labels as wide as their digits (6 units each) with a gap of 4: the
// spacing stays while they fit and climbs the 1-2-5 series when they crowd.
void TickSpacingTest::spacingForWideLabels_data()
{
    QTest::addColumn<float>("spacing");
    QTest::addColumn<double>("unitsPerValue");
    QTest::addColumn<float>("fitted");

    QTest::newRow("room to spare") << 100.0f << 1.0 << 100.0f;
    QTest::newRow("exactly fits") << 100.0f << 0.22 << 100.0f; // 22 = 3 digits + gap
    QTest::newRow("one step") << 100.0f << 0.2 << 200.0f;
    QTest::newRow("from two to five") << 200.0f << 0.1 << 500.0f;
    QTest::newRow("across a decade") << 5.0f << 1.8 << 10.0f;
    QTest::newRow("six-digit sizes") << 500000.0f << 1.0e-5 << 5.0e6f;
    QTest::newRow("below one") << 0.1f << 50.0 << 0.2f;
    QTest::newRow("no scale") << 100.0f << 0.0 << 100.0f;
    QTest::newRow("not a number") << 100.0f << std::numeric_limits<double>::quiet_NaN() << 100.0f;
}

void TickSpacingTest::spacingForWideLabels()
{
    QFETCH(float, spacing);
    QFETCH(double, unitsPerValue);
    QFETCH(float, fitted);
    const auto digitsWide = [](float s) {
        return 6.0 * double(std::max(1, static_cast<int>(std::floor(std::log10(s))) + 1));
    };
    QCOMPARE(spacingThatFitsLabels(spacing, unitsPerValue, 4.0, digitsWide), fitted);
}

#include "TickSpacingTest.moc"
