#pragma once

// The short text an untitled, empty document window shows over its
// collection table: how to begin, and a link that loads the example data.
// It hides as soon as the document holds a record or has a file, and shows
// again when the untitled document is emptied.

#include <QLabel>
#include <QObject>
#include <QPointer>

namespace quorvella {

class DocumentWindow;

class StartHint : public QObject
{
    Q_OBJECT
public:
    // Equips the window (a child of it); examplePath may be empty (no link).
    static StartHint *attach(DocumentWindow &window, const QString &examplePath);

    QLabel *label() const { return m_label; }
    // Loads the example document into the window's empty, untitled
    // document: its records, no file (Save asks where). False after an
    // alert when the file cannot be read.
    bool loadExample();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    StartHint(DocumentWindow &window, const QString &examplePath);
    void update();
    void place();

    DocumentWindow &m_window;
    QString m_examplePath;
    QPointer<QLabel> m_label;
};

} // namespace quorvella
