#pragma once

// The window that shows the user guide, a page compiled into the program.
// One instance serves the whole application; showAnchor brings it to the
// front at a section ("importing" for the import alert's Help button).

#include <QMainWindow>

class QTextBrowser;

namespace quorvella {

class HelpWindow final : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr char guideUrl[] = "qrc:/help/index.html";

    explicit HelpWindow(QWidget *parent = nullptr);

    // Shows the guide scrolled to the named section; an empty anchor shows
    // the beginning.
    void showAnchor(const QString &anchor);

    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser;
};

} // namespace quorvella
