#include "app/PreferenceController.h"

#include "document/Settings.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

namespace quorvella {

ColorPicker colorDialogPicker()
{
    return [](const QColor &initial, QWidget *parent) {
        return QColorDialog::getColor(initial, parent, QObject::tr("Rarefaction Curve Colour"));
    };
}

PreferenceController::PreferenceController(ColorPicker picker, QWidget *parent)
    : QDialog(parent), m_picker(std::move(picker)),
      m_confidenceIntervalRadioButtons(new QButtonGroup(this)), m_sampleSize(new QSpinBox(this)),
      m_colorWell(new QPushButton(this))
{
    setWindowTitle(tr("Preferences"));
    setObjectName(QStringLiteral("preferences"));

    // The button ids are the levels stored, the two the plot knows.
    auto *band95 = new QRadioButton(tr("95 %"), this);
    auto *band99 = new QRadioButton(tr("99 %"), this);
    m_confidenceIntervalRadioButtons->addButton(band95, 95);
    m_confidenceIntervalRadioButtons->addButton(band99, 99);
    auto *bands = new QHBoxLayout;
    bands->addWidget(band95);
    bands->addWidget(band99);
    bands->addStretch();

    // Whole numbers of 0 or more only: the spin box refuses anything else
    // while it is typed. It commits on Return, on leaving the field and on
    // each arrow step, not on every keystroke.
    m_sampleSize->setObjectName(QStringLiteral("rarefactionSampleSizeTextField"));
    m_sampleSize->setRange(0, std::numeric_limits<int>::max());
    m_sampleSize->setKeyboardTracking(false);
    m_sampleSize->setSuffix(tr(" specimens"));
    m_sampleSize->setAccelerated(true);

    m_colorWell->setObjectName(QStringLiteral("theColorWell"));
    m_colorWell->setToolTip(tr("Choose the colour of rarefaction curves"));

    auto *form = new QFormLayout;
    form->addRow(tr("Confidence band:"), bands);
    form->addRow(tr("Rarefaction sample size:"), m_sampleSize);
    form->addRow(tr("Curve colour:"), m_colorWell);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Return confirms the number typed and nothing else: no button of the
    // dialog is pressed by it (the colour well would open the colour chooser).
    m_colorWell->setAutoDefault(false);
    for (QAbstractButton *button : buttons->buttons()) {
        if (auto *push = qobject_cast<QPushButton *>(button))
            push->setAutoDefault(false);
    }

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(m_confidenceIntervalRadioButtons, &QButtonGroup::idClicked, this,
            &PreferenceController::changeConfidenceLevel);
    connect(m_sampleSize, &QSpinBox::valueChanged, this,
            &PreferenceController::changeRarefactionSampleSize);
    connect(m_colorWell, &QPushButton::clicked, this,
            &PreferenceController::changeRarefactionColor);
    connect(&Settings::instance(), &Settings::changed, this, &PreferenceController::settingChanged);

    windowDidLoad();
}

int PreferenceController::confidenceLevel()
{
    return Settings::confidenceLevel();
}

int PreferenceController::rarefactionSampleSize()
{
    return Settings::rarefactionSampleSize();
}

QColor PreferenceController::rarefactionCurveColor()
{
    return Settings::rarefactionColor();
}

QAbstractButton *PreferenceController::confidenceButton(int level) const
{
    return m_confidenceIntervalRadioButtons->button(level);
}

void PreferenceController::windowDidLoad()
{
    // A stored level other than 95 or 99 selects neither button.
    const int level = confidenceLevel();
    m_confidenceIntervalRadioButtons->setExclusive(false);
    for (QAbstractButton *button : m_confidenceIntervalRadioButtons->buttons())
        button->setChecked(m_confidenceIntervalRadioButtons->id(button) == level);
    m_confidenceIntervalRadioButtons->setExclusive(true);

    const QSignalBlocker blocker(m_sampleSize);
    m_sampleSize->setValue(rarefactionSampleSize());
    showColor(rarefactionCurveColor());
}

void PreferenceController::hideEvent(QHideEvent *event)
{
    // A number typed but not yet confirmed still counts when the window closes.
    m_sampleSize->interpretText();
    QDialog::hideEvent(event);
}

void PreferenceController::changeConfidenceLevel(int level)
{
    Settings::setConfidenceLevel(level);
}

void PreferenceController::changeRarefactionSampleSize(int size)
{
    if (size != rarefactionSampleSize())
        Settings::setRarefactionSampleSize(size);
}

void PreferenceController::changeRarefactionColor()
{
    const QColor chosen = m_picker ? m_picker(rarefactionCurveColor(), this) : QColor();
    if (!chosen.isValid())
        return;
    Settings::setRarefactionColor(chosen);
    showColor(chosen);
}

void PreferenceController::showColor(const QColor &color)
{
    QPixmap swatch(40, 16);
    swatch.fill(color);
    QPainter painter(&swatch);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    painter.end();
    m_colorWell->setIcon(QIcon(swatch));
    m_colorWell->setIconSize(swatch.size());
    m_colorWell->setText(color.name(QColor::HexRgb).toUpper());
}

void PreferenceController::settingChanged(const QString &)
{
    // Another writer (a second window, a reset) keeps the controls true.
    windowDidLoad();
}

} // namespace quorvella
