#pragma once

// The species-list window: every distinct taxon name of a document, one per
// line, which the user can save as a text file and later load as the
// completion list of any document. The text is built once, when the list is
// shown; it does not follow later changes to the document.

#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

class QPlainTextEdit;

namespace quorvella {

class Ui;

class TaxonListController : public QWidget
{
    Q_OBJECT

public:
    explicit TaxonListController(std::shared_ptr<Ui> ui, QWidget *parent = nullptr);

    // Every name followed by one line feed, the last included; nothing else.
    static QString speciesListText(const QStringList &names);

    // Builds the list text anew and shows it.
    void showList(const QStringList &names);
    const QString &taxonListAsString() const { return m_taxonListAsString; }
    QPlainTextEdit *taxonListTextView() const { return m_textView; }

    // Asks where to save the list ("txt") and writes it atomically in ASCII.
    // A name that cannot be written in ASCII, or a failed write, is reported
    // and nothing is written; the window stays open. Returns whether a file
    // was written.
    bool saveTextFile();
    // Closes the window as its close button would.
    void cancel();

private:
    std::shared_ptr<Ui> m_ui;
    QPlainTextEdit *m_textView;
    QString m_taxonListAsString;
};

} // namespace quorvella
