#pragma once

// The list of known taxon names and the completion rule applied while a name
// is typed into the species table. No widgets here: the name-cell editor
// (TaxonNameEditor) asks this class after every edit, and the tests drive the
// rule directly as well as through the editor.

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

namespace quorvella {

class Ui;

// The outcome of one completion step: the text the cell should show and the
// selection (start, length) it should have.
struct CompletionResult
{
    bool accepted = true; // true: keep the edit exactly as the user made it
    QString text;
    int selectionStart = 0;
    int selectionLength = 0;
};

class TaxonFormatter : public QObject
{
    Q_OBJECT

public:
    explicit TaxonFormatter(QObject *parent = nullptr);

    // The known names in list order; the order decides which name wins when
    // several match. Duplicates are kept.
    const QStringList &taxonNames() const { return m_taxonNames; }

    // Replaces the list wholesale (an empty list when nothing is given).
    void setListOfTaxonNamesFromList(const QStringList &names);

    // Replaces the list by the names of a species-list text.
    void setListOfTaxonNamesFromText(const QString &speciesListText);

    // "Set Species List": lets the user choose a species-list file ("txt" or
    // "csv") and replaces the list by its names. A file that cannot be read
    // as UTF-8 text is reported and leaves the list as it was; a cancelled
    // panel changes nothing. Returns whether the list was replaced.
    bool loadListOfTaxonNames(Ui &ui);

    // Appends each name of a changed taxon that is not in the list yet (exact,
    // case-sensitive comparison). Names are never removed.
    void handleNewTaxon(const QStringList &changedTaxonNames);

    // The first name of the list that begins with partial, ignoring case.
    std::optional<QString> firstTaxonNameForPartialString(const QString &partial) const;

    // The completion step after an edit: partial is the edited text,
    // proposedSelectionStart where the cursor stands after the edit and
    // originalSelectionStart where the selection (or cursor) began before it.
    CompletionResult isPartialStringValid(const QString &partial, int proposedSelectionStart,
                                          int originalSelectionStart) const;

    // Splits a species-list text at every run of commas, tabs and line
    // breaks; nothing else is trimmed and no empty name results.
    static QStringList namesFromSpeciesListText(const QString &text);

signals:
    void taxonNamesChanged();

private:
    QStringList m_taxonNames;
    QSet<QString> m_knownNames; // the same names, for quick look-up
};

} // namespace quorvella
