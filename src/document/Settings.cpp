#include "document/Settings.h"

#include <QSettings>
#include <limits>

namespace quorvella {

Settings &Settings::instance()
{
    static Settings settings;
    return settings;
}

QVariant Settings::registeredDefault(const QString &key)
{
    if (key == QLatin1String(QTRConfidenceLevelKey))
        return defaultConfidenceLevel;
    if (key == QLatin1String(QTRRarefactionSampleSizeKey))
        return defaultRarefactionSampleSize;
    if (key == QLatin1String(QTRRarefactionColorKey))
        return encodeColor(defaultRarefactionColor());
    return {};
}

int Settings::readInteger(const char *key, int fallback)
{
    const QVariant stored = QSettings().value(QLatin1String(key));
    bool ok = false;
    const qlonglong value = stored.toLongLong(&ok);
    if (!ok || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return fallback;
    return static_cast<int>(value);
}

void Settings::write(const char *key, const QVariant &value)
{
    QSettings settings;
    if (settings.value(QLatin1String(key)) == value)
        return;
    settings.setValue(QLatin1String(key), value);
    settings.sync();
    emit instance().changed(QLatin1String(key));
}

int Settings::confidenceLevel()
{
    return readInteger(QTRConfidenceLevelKey, defaultConfidenceLevel);
}

int Settings::rarefactionSampleSize()
{
    return readInteger(QTRRarefactionSampleSizeKey, defaultRarefactionSampleSize);
}

QColor Settings::rarefactionColor()
{
    const QVariant stored = QSettings().value(QLatin1String(QTRRarefactionColorKey));
    return stored.isValid() ? decodeColor(stored.toString()) : defaultRarefactionColor();
}

void Settings::setConfidenceLevel(int level)
{
    write(QTRConfidenceLevelKey, level);
}

void Settings::setRarefactionSampleSize(int size)
{
    write(QTRRarefactionSampleSizeKey, size);
}

void Settings::setRarefactionColor(const QColor &color)
{
    write(QTRRarefactionColorKey, encodeColor(color));
}

QString Settings::encodeColor(const QColor &color)
{
    return color.name(QColor::HexArgb);
}

QColor Settings::decodeColor(const QString &text)
{
    const QColor color = QColor::fromString(text);
    return color.isValid() ? color : defaultRarefactionColor();
}

} // namespace quorvella
