#include "document/Settings.h"

#include "TestSettings.h"

#include <QSignalSpy>
#include <QTest>

using namespace quorvella;

class SettingsTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { testing::isolateSettings(); }

    void defaultsWithEmptyStore()
    {
        QCOMPARE(Settings::confidenceLevel(), 95);
        QCOMPARE(Settings::rarefactionSampleSize(), 50);
        QCOMPARE(Settings::rarefactionColor(), QColor(Qt::red));
    }

    void defaultsAreNotWritten()
    {
        Settings::confidenceLevel();
        Settings::rarefactionSampleSize();
        Settings::rarefactionColor();
        QVERIFY(QSettings().allKeys().isEmpty());
    }

    void changesAreStoredUnderTheirKeysAndSignalled_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("value");
        QTest::newRow("confidence 99") << QString::fromLatin1(QTRConfidenceLevelKey) << 99;
        QTest::newRow("sample size 100") << QString::fromLatin1(QTRRarefactionSampleSizeKey) << 100;
        QTest::newRow("sample size 0") << QString::fromLatin1(QTRRarefactionSampleSizeKey) << 0;
        QTest::newRow("negative sample size kept as typed")
            << QString::fromLatin1(QTRRarefactionSampleSizeKey) << -5;
    }
    void changesAreStoredUnderTheirKeysAndSignalled()
    {
        QFETCH(QString, key);
        QFETCH(int, value);
        QSignalSpy spy(&Settings::instance(), &Settings::changed);
        if (key == QLatin1String(QTRConfidenceLevelKey))
            Settings::setConfidenceLevel(value);
        else
            Settings::setRarefactionSampleSize(value);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), key);
        QCOMPARE(QSettings().value(key).toInt(), value);
        const int read = key == QLatin1String(QTRConfidenceLevelKey)
                             ? Settings::confidenceLevel()
                             : Settings::rarefactionSampleSize();
        QCOMPARE(read, value);
    }

    void colourRoundTrip_data()
    {
        QTest::addColumn<QColor>("colour");
        QTest::newRow("blue") << QColor(0, 0, 255);
        QTest::newRow("translucent green") << QColor(0, 128, 0, 100);
        QTest::newRow("black") << QColor(0, 0, 0);
    }
    void colourRoundTrip()
    {
        QFETCH(QColor, colour);
        Settings::setRarefactionColor(colour);
        QCOMPARE(Settings::rarefactionColor(), colour);
    }

    void unreadableValuesFallBackToDefaults_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("sample size text")
            << QString::fromLatin1(QTRRarefactionSampleSizeKey) << QVariant(QStringLiteral("many"));
        QTest::newRow("sample size beyond 32 bits")
            << QString::fromLatin1(QTRRarefactionSampleSizeKey)
            << QVariant(QStringLiteral("99999999999"));
        QTest::newRow("colour garbage") << QString::fromLatin1(QTRRarefactionColorKey)
                                        << QVariant(QStringLiteral("not a colour"));
    }
    void unreadableValuesFallBackToDefaults()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, stored);
        QSettings().setValue(key, stored);
        QCOMPARE(Settings::rarefactionSampleSize(), 50);
        QCOMPARE(Settings::rarefactionColor(), QColor(Qt::red));
    }

    void registeredDefaults()
    {
        QCOMPARE(Settings::registeredDefault(QLatin1String(QTRConfidenceLevelKey)).toInt(), 95);
        QCOMPARE(Settings::registeredDefault(QLatin1String(QTRRarefactionSampleSizeKey)).toInt(),
                 50);
        QCOMPARE(Settings::decodeColor(
                     Settings::registeredDefault(QLatin1String(QTRRarefactionColorKey)).toString()),
                 QColor(Qt::red));
        QVERIFY(!Settings::registeredDefault(QStringLiteral("Other")).isValid());
    }
};

QTEST_MAIN(SettingsTest)
#include "SettingsTest.moc"
