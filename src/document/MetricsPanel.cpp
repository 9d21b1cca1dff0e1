#include "document/MetricsPanel.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <cmath>

namespace quorvella {

MetricsPanel::MetricsPanel(QWidget *parent) : QWidget(parent)
{
    auto *form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    m_richness = addField(form, "richness", tr("Richness"));
    m_abundance = addField(form, "abundance", tr("Census size"));
    m_buzasGibson = addField(form, "buzasGibson", tr("Buzas-Gibson E"));
    m_chao = addField(form, "chao", tr("Chao-1"));
    m_shannon = addField(form, "shannon", tr("Shannon H"));
    m_simpson = addField(form, "simpson", tr("Simpson D"));
    m_pielou = addField(form, "pielou", tr("Pielou J"));
    m_peters = addField(form, "peters", tr("Peters' Ess"));
    m_pie = addField(form, "pie", tr("Hurlbert PIE"));
    m_rarefactionRichness = addField(form, "rarefactionRichness", tr("Rarefied richness"));
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("rarefactionSampleSizeTextField"));
    form->addRow(QString(), m_caption);
}

QLineEdit *MetricsPanel::addField(QFormLayout *form, const char *objectName, const QString &label)
{
    auto *field = new QLineEdit(this);
    field->setObjectName(QLatin1String(objectName));
    field->setReadOnly(true);
    field->setAlignment(Qt::AlignRight);
    form->addRow(label, field);
    return field;
}

QString MetricsPanel::formatInteger(const std::optional<std::int32_t> &value)
{
    return value ? QString::number(*value) : QString();
}

QString MetricsPanel::formatMeasure(const std::optional<double> &value)
{
    if (!value)
        return {};
    if (std::isnan(*value))
        return QStringLiteral("nan");
    if (std::isinf(*value))
        return *value > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    return QString::number(*value, 'g', 6);
}

void MetricsPanel::showCensus(const Census *census)
{
    const Census none;
    const Census &shown = census ? *census : none;
    m_richness->setText(formatInteger(shown.richness));
    m_abundance->setText(formatInteger(shown.abundance));
    m_buzasGibson->setText(formatMeasure(shown.buzasGibson));
    m_chao->setText(formatMeasure(shown.chao));
    m_shannon->setText(formatMeasure(shown.shannon));
    m_simpson->setText(formatMeasure(shown.simpson));
    m_peters->setText(formatMeasure(shown.peters));
    m_pielou->setText(formatMeasure(shown.pielou));
    m_pie->setText(formatMeasure(shown.pie));
    m_rarefactionRichness->setText(formatMeasure(shown.rarefactionRichness));
}

void MetricsPanel::setCaption(const QString &caption)
{
    m_caption->setText(caption);
}

QString MetricsPanel::caption() const
{
    return m_caption->text();
}

QString MetricsPanel::fieldText(const QString &objectName) const
{
    const auto *field = findChild<QLineEdit *>(objectName);
    return field ? field->text() : QString();
}

} // namespace quorvella
