#pragma once

// The About panel: the application icon, its name, "Version 0.1.0" and a
// line on what it does.

#include <QDialog>

class QLabel;

namespace quorvella {

class AboutDialog final : public QDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *parent = nullptr);

    // "Version %1" filled with the program's version.
    QString versionText() const;

private:
    QLabel *m_versionLabel;
};

} // namespace quorvella
