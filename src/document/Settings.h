#pragma once

// The three user settings shared by every document: the confidence level of
// the band around a rarefaction curve, the sample size at which the metrics
// commands rarefy, and the colour of rarefaction curves.
//
// Values live in QSettings under the keys below. The defaults are known
// here and never written: a key is stored only once the user changes it.
// Every getter reads the store afresh, so a change takes effect at the
// next use; `changed` lets open views follow at once.

#include <QColor>
#include <QObject>
#include <QString>
#include <QVariant>

namespace quorvella {

inline constexpr char QTRConfidenceLevelKey[] = "ConfidenceLevel";
inline constexpr char QTRRarefactionSampleSizeKey[] = "RarefactionSampleSize";
inline constexpr char QTRRarefactionColorKey[] = "RarefactionColor";

class Settings final : public QObject
{
    Q_OBJECT
public:
    static constexpr int defaultConfidenceLevel = 95;
    static constexpr int defaultRarefactionSampleSize = 50;
    static QColor defaultRarefactionColor() { return QColor(255, 0, 0); }

    // The one instance; its signal reaches every listener in the process.
    static Settings &instance();

    // The default of a key, or an invalid QVariant for an unknown key.
    static QVariant registeredDefault(const QString &key);

    static int confidenceLevel();
    static int rarefactionSampleSize();
    static QColor rarefactionColor();

    static void setConfidenceLevel(int level);
    static void setRarefactionSampleSize(int size);
    static void setRarefactionColor(const QColor &color);

    // The colour's stored text: "#AARRGGBB". The reader accepts any form
    // QColor parses and falls back to the default for anything else.
    static QString encodeColor(const QColor &color);
    static QColor decodeColor(const QString &text);

signals:
    void changed(const QString &key);

private:
    Settings() = default;
    static int readInteger(const char *key, int fallback);
    static void write(const char *key, const QVariant &value);
};

} // namespace quorvella
