// The Preferences window writes each setting the moment its control
// changes, accepts only whole sample sizes of 0 or more, and asks for the
// colour through the picker it was given.

#include "app/PreferenceController.h"

#include "AppTestSupport.h"
#include "document/Settings.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

using namespace quorvella;

namespace {

// A picker that must not be asked: counts the calls and cancels.
struct UnusedPicker
{
    int calls = 0;
    ColorPicker picker()
    {
        return [this](const QColor &, QWidget *) {
            ++calls;
            return QColor();
        };
    }
};

} // namespace

class PreferenceControllerTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTestSettings(); }
    void init() { QSettings().clear(); }

    void showsTheStoredSettings();
    void confidenceLevelChangesAtOnce();
    void sampleSizeTyping_data();
    void sampleSizeTyping();
    void sampleSizeArrowsChangeAtOnce();
    void colour_data();
    void colour();
    void followsChangesMadeElsewhere();
};

void PreferenceControllerTest::showsTheStoredSettings()
{
    UnusedPicker unused;
    PreferenceController defaults(unused.picker());
    QVERIFY(defaults.confidenceButton(95)->isChecked());
    QVERIFY(!defaults.confidenceButton(99)->isChecked());
    QCOMPARE(defaults.rarefactionSampleSizeTextField()->value(), 50);
    QCOMPARE(defaults.colorWell()->text(), QStringLiteral("#FF0000"));

    Settings::setConfidenceLevel(99);
    Settings::setRarefactionSampleSize(120);
    Settings::setRarefactionColor(QColor(0, 128, 0));
    PreferenceController changed(unused.picker());
    QVERIFY(changed.confidenceButton(99)->isChecked());
    QCOMPARE(changed.rarefactionSampleSizeTextField()->value(), 120);
    QCOMPARE(changed.colorWell()->text(), QStringLiteral("#008000"));
}

void PreferenceControllerTest::confidenceLevelChangesAtOnce()
{
    UnusedPicker unused;
    PreferenceController preferences(unused.picker());
    QSignalSpy changed(&Settings::instance(), &Settings::changed);
    preferences.confidenceButton(99)->click();
    QCOMPARE(Settings::confidenceLevel(), 99);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.front().front().toString(), QString::fromLatin1(QTRConfidenceLevelKey));
    preferences.confidenceButton(95)->click();
    QCOMPARE(Settings::confidenceLevel(), 95);
}

void PreferenceControllerTest::sampleSizeTyping_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");

    QTest::newRow("a whole number") << QStringLiteral("120") << 120;
    QTest::newRow("zero") << QStringLiteral("0") << 0;
    QTest::newRow("the largest count") << QStringLiteral("2147483647") << 2147483647;
    // What the field refuses never reaches the setting: the default stays.
    QTest::newRow("a minus sign") << QStringLiteral("-5") << 5;
    QTest::newRow("a fraction") << QStringLiteral("12.5") << 125;
    QTest::newRow("letters") << QStringLiteral("abc") << 50;
    // The digit that would pass 2147483647 is refused as it is typed.
    QTest::newRow("beyond 32 bits") << QStringLiteral("99999999999") << 999999999;
}

void PreferenceControllerTest::sampleSizeTyping()
{
    QFETCH(QString, typed);
    QFETCH(int, stored);

    UnusedPicker unused;
    PreferenceController preferences(unused.picker());
    preferences.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preferences));
    QSpinBox *field = preferences.rarefactionSampleSizeTextField();
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, typed);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(Settings::rarefactionSampleSize(), stored);
    QVERIFY(field->value() >= 0);
    // Return confirms the number only: it neither opens the colour chooser
    // nor closes the window.
    QCOMPARE(unused.calls, 0);
    QVERIFY(preferences.isVisible());
}

void PreferenceControllerTest::sampleSizeArrowsChangeAtOnce()
{
    UnusedPicker unused;
    PreferenceController preferences(unused.picker());
    QSpinBox *field = preferences.rarefactionSampleSizeTextField();
    QTest::keyClick(field, Qt::Key_Up);
    QCOMPARE(Settings::rarefactionSampleSize(), 51);
    field->setValue(0);
    QTest::keyClick(field, Qt::Key_Down);
    QCOMPARE(Settings::rarefactionSampleSize(), 0);
}

void PreferenceControllerTest::colour_data()
{
    QTest::addColumn<QColor>("picked");
    QTest::addColumn<QColor>("stored");

    QTest::newRow("blue") << QColor(0, 0, 255) << QColor(0, 0, 255);
    QTest::newRow("translucent") << QColor(10, 20, 30, 128) << QColor(10, 20, 30, 128);
    QTest::newRow("cancelled") << QColor() << QColor(255, 0, 0);
}

void PreferenceControllerTest::colour()
{
    QFETCH(QColor, picked);
    QFETCH(QColor, stored);

    QColor offered;
    PreferenceController preferences([&](const QColor &initial, QWidget *) {
        offered = initial;
        return picked;
    });
    preferences.colorWell()->click();
    QCOMPARE(offered, QColor(255, 0, 0)); // the picker starts at the current colour
    QCOMPARE(Settings::rarefactionColor(), stored);
    QCOMPARE(preferences.colorWell()->text(), stored.name(QColor::HexRgb).toUpper());
}

void PreferenceControllerTest::followsChangesMadeElsewhere()
{
    UnusedPicker unused;
    PreferenceController preferences(unused.picker());
    Settings::setRarefactionSampleSize(75);
    Settings::setConfidenceLevel(99);
    QCOMPARE(preferences.rarefactionSampleSizeTextField()->value(), 75);
    QVERIFY(preferences.confidenceButton(99)->isChecked());
}

QTEST_MAIN(PreferenceControllerTest)
#include "PreferenceControllerTest.moc"
