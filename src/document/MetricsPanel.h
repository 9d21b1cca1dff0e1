#pragma once

// The read-only fields showing the measures stored with the selected
// collection, the rarefied richness with its caption, and nothing but what
// is stored: fields of a collection never computed stay empty. Infinity and
// not-a-number show as "inf" and "nan".

#include "store/Census.h"

#include <QWidget>
#include <optional>

class QFormLayout;
class QLabel;
class QLineEdit;

namespace quorvella {

class MetricsPanel final : public QWidget
{
    Q_OBJECT
public:
    explicit MetricsPanel(QWidget *parent = nullptr);

    // Shows the stored values of census, or empty fields for none.
    void showCensus(const Census *census);
    // The caption beside the rarefied richness ("for sample size of 50").
    void setCaption(const QString &caption);
    QString caption() const;

    // The text of the field with this object name: "richness", "abundance",
    // "buzasGibson", "chao", "shannon", "simpson", "peters", "pielou", "pie",
    // "rarefactionRichness".
    QString fieldText(const QString &objectName) const;

    static QString formatInteger(const std::optional<std::int32_t> &value);
    static QString formatMeasure(const std::optional<double> &value);

private:
    QLineEdit *addField(QFormLayout *form, const char *objectName, const QString &label);

    QLineEdit *m_richness;
    QLineEdit *m_abundance;
    QLineEdit *m_buzasGibson;
    QLineEdit *m_chao;
    QLineEdit *m_shannon;
    QLineEdit *m_simpson;
    QLineEdit *m_peters;
    QLineEdit *m_pielou;
    QLineEdit *m_pie;
    QLineEdit *m_rarefactionRichness;
    QLabel *m_caption;
};

} // namespace quorvella
