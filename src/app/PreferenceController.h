#pragma once

// The Preferences window: the confidence band (95 % or 99 %), the sample
// size the metrics commands rarefy to, and the colour of rarefaction curves.
// Every control writes its setting the moment it changes, so the next
// calculation or the next redraw of a plot uses it; nothing is applied on
// closing. The colour is chosen through a ColorPicker, which tests replace
// so that no modal dialog blocks them.

#include <QColor>
#include <QDialog>
#include <functional>

class QAbstractButton;
class QButtonGroup;
class QPushButton;
class QSpinBox;

namespace quorvella {

// Asks the user for a colour, starting at `initial`; an invalid colour
// means the user cancelled.
using ColorPicker = std::function<QColor(const QColor &initial, QWidget *parent)>;

// The application's picker: QColorDialog.
ColorPicker colorDialogPicker();

class PreferenceController final : public QDialog
{
    Q_OBJECT
public:
    explicit PreferenceController(ColorPicker picker = colorDialogPicker(),
                                  QWidget *parent = nullptr);

    // The three settings, read afresh.
    static int confidenceLevel();
    static int rarefactionSampleSize();
    static QColor rarefactionCurveColor();

    // The controls, for tests and keyboard navigation.
    QAbstractButton *confidenceButton(int level) const;
    QSpinBox *rarefactionSampleSizeTextField() const { return m_sampleSize; }
    QPushButton *colorWell() const { return m_colorWell; }

public slots:
    // Puts the stored settings into the controls.
    void windowDidLoad();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void changeConfidenceLevel(int level);
    void changeRarefactionSampleSize(int size);
    void changeRarefactionColor();
    void showColor(const QColor &color);
    void settingChanged(const QString &key);

    ColorPicker m_picker;
    QButtonGroup *m_confidenceIntervalRadioButtons;
    QSpinBox *m_sampleSize;
    QPushButton *m_colorWell;
};

} // namespace quorvella
