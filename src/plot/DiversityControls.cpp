#include "plot/DiversityControls.h"

#include "document/Settings.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <limits>

namespace quorvella {

namespace {

constexpr int allOrders = 3;

QComboBox *comboBox(QWidget *parent, const char *name, const QStringList &items)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItems(items);
    return box;
}

void addLabelled(QHBoxLayout *layout, const QString &label, QWidget *field)
{
    auto *text = new QLabel(label, field->parentWidget());
    text->setBuddy(field);
    layout->addWidget(text);
    layout->addWidget(field);
    layout->addSpacing(8);
}

} // namespace

DiversityControls::DiversityControls(DiversityDataType dataType, QWidget *parent) : QWidget(parent)
{
    m_dataType = comboBox(this, "dataTypeBox",
                          {tr("Individual-based (abundance)"), tr("Sample-based (incidence)")});
    m_dataType->setCurrentIndex(dataType == DiversityDataType::Incidence ? 1 : 0);
    m_order = comboBox(
        this, "orderBox",
        {tr("q = 0 (richness)"), tr("q = 1 (Shannon)"), tr("q = 2 (Simpson)"), tr("All three")});
    m_order->setCurrentIndex(allOrders);
    m_plot =
        comboBox(this, "plotBox",
                 {tr("Diversity vs size"), tr("Coverage vs size"), tr("Diversity vs coverage")});

    m_endpoint = new QSpinBox(this);
    m_endpoint->setObjectName(QStringLiteral("endpointBox"));
    m_endpoint->setRange(0, std::numeric_limits<int>::max());
    m_endpoint->setSpecialValueText(tr("2 × reference"));
    m_endpoint->setToolTip(tr("The largest size of the curves; by default twice each "
                              "collection's own size."));
    m_bootstrap = new QSpinBox(this);
    m_bootstrap->setObjectName(QStringLiteral("bootstrapBox"));
    m_bootstrap->setRange(0, 10000);
    m_bootstrap->setValue(50);
    m_bootstrap->setToolTip(tr("Bootstrap replicates for the bands; 0 draws no bands."));
    m_level = new QDoubleSpinBox(this);
    m_level->setObjectName(QStringLiteral("levelBox"));
    m_level->setRange(50.0, 99.9);
    m_level->setDecimals(1);
    m_level->setSuffix(QStringLiteral(" %"));
    followPreference();

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    addLabelled(layout, tr("&Data:"), m_dataType);
    addLabelled(layout, tr("&Order:"), m_order);
    addLabelled(layout, tr("&Plot:"), m_plot);
    addLabelled(layout, tr("&Endpoint:"), m_endpoint);
    addLabelled(layout, tr("&Bootstrap:"), m_bootstrap);
    addLabelled(layout, tr("&Level:"), m_level);
    layout->addStretch(1);

    for (QComboBox *box : {m_dataType, m_order}) {
        connect(box, &QComboBox::currentIndexChanged, this, &DiversityControls::settingsChanged);
    }
    connect(m_plot, &QComboBox::currentIndexChanged, this, &DiversityControls::plotTypeChanged);
    for (QSpinBox *box : {m_endpoint, m_bootstrap}) {
        connect(box, &QSpinBox::valueChanged, this, &DiversityControls::settingsChanged);
    }
    connect(m_level, &QDoubleSpinBox::valueChanged, this, [this] {
        if (m_level->hasFocus()) {
            m_levelFollowsPreference = false;
        }
        emit settingsChanged();
    });
    connect(&Settings::instance(), &Settings::changed, this, [this](const QString &key) {
        if (key == QLatin1String(QTRConfidenceLevelKey) && m_levelFollowsPreference) {
            followPreference();
        }
    });
}

void DiversityControls::followPreference()
{
    const int level = Settings::confidenceLevel();
    // The preference is 95 or 99; anything else leaves the usual 95 %.
    m_level->setValue(level > 0 && level < 100 ? double(level) : 95.0);
}

DiversityPlotType DiversityControls::plotType() const
{
    return static_cast<DiversityPlotType>(m_plot->currentIndex());
}

DiversitySettings DiversityControls::settings() const
{
    DiversitySettings settings;
    settings.dataType = m_dataType->currentIndex() == 1 ? DiversityDataType::Incidence
                                                        : DiversityDataType::Abundance;
    const int order = m_order->currentIndex();
    settings.orders = order == allOrders ? std::vector<int>{0, 1, 2} : std::vector<int>{order};
    settings.plot = plotType();
    if (m_endpoint->value() > 0) {
        settings.endpoint = m_endpoint->value();
    }
    settings.bootstrapReplicates = m_bootstrap->value();
    settings.level = m_level->value() / 100.0;
    return settings;
}

} // namespace quorvella
