#pragma once

// The choices above a diversity picture: the data (individual-based or
// sample-based), the order q (0, 1, 2 or all three as three panels), the
// plot type, the endpoint, the bootstrap replicates and the confidence
// level. The level follows the "ConfidenceLevel" preference until the user
// sets one here.

#include "plot/DiversitySettings.h"

#include <QWidget>

class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

namespace quorvella {

class DiversityControls : public QWidget
{
    Q_OBJECT
public:
    explicit DiversityControls(DiversityDataType dataType, QWidget *parent = nullptr);

    // The choices now; the common-point fields stay at their defaults.
    DiversitySettings settings() const;
    DiversityPlotType plotType() const;

    QComboBox *dataTypeBox() const { return m_dataType; }
    QComboBox *orderBox() const { return m_order; }
    QComboBox *plotBox() const { return m_plot; }
    QSpinBox *endpointBox() const { return m_endpoint; }
    QSpinBox *bootstrapBox() const { return m_bootstrap; }
    QDoubleSpinBox *levelBox() const { return m_level; }

signals:
    // A choice that needs a new computation changed.
    void settingsChanged();
    // Only the way the result is shown changed.
    void plotTypeChanged();

private:
    void followPreference();

    QComboBox *m_dataType = nullptr;
    QComboBox *m_order = nullptr;
    QComboBox *m_plot = nullptr;
    QSpinBox *m_endpoint = nullptr;
    QSpinBox *m_bootstrap = nullptr;
    QDoubleSpinBox *m_level = nullptr;
    bool m_levelFollowsPreference = true;
};

} // namespace quorvella
