#include "names/TaxonFormatter.h"

#include "document/Ui.h"
#include "textio/TextFile.h"

#include <QFile>

namespace quorvella {

namespace {

bool isSpeciesListSeparator(QChar c)
{
    switch (c.unicode()) {
    case u',':
    case u'\t':
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case 0x0085:
    case 0x2028:
    case 0x2029:
        return true;
    default:
        return false;
    }
}

} // namespace

TaxonFormatter::TaxonFormatter(QObject *parent) : QObject(parent)
{}

void TaxonFormatter::setListOfTaxonNamesFromList(const QStringList &names)
{
    m_taxonNames = names;
    m_knownNames = QSet<QString>(names.cbegin(), names.cend());
    emit taxonNamesChanged();
}

void TaxonFormatter::setListOfTaxonNamesFromText(const QString &speciesListText)
{
    setListOfTaxonNamesFromList(namesFromSpeciesListText(speciesListText));
}

bool TaxonFormatter::loadListOfTaxonNames(Ui &ui)
{
    const QString path =
        ui.chooseFileToOpen(tr("Set Species List"), {QStringLiteral("txt"), QStringLiteral("csv")});
    if (path.isEmpty()) {
        return false;
    }
    const TextFileResult file = readTextFile(QFile::encodeName(path).toStdString());
    if (!file.ok()) {
        ui.showErrorAlert(tr("The species list could not be read."),
                          QString::fromStdString(file.error));
        return false;
    }
    setListOfTaxonNamesFromText(QString::fromStdString(*file.text));
    return true;
}

void TaxonFormatter::handleNewTaxon(const QStringList &changedTaxonNames)
{
    bool grew = false;
    for (const QString &name : changedTaxonNames) {
        if (!m_knownNames.contains(name)) {
            m_taxonNames.append(name);
            m_knownNames.insert(name);
            grew = true;
        }
    }
    if (grew) {
        emit taxonNamesChanged();
    }
}

std::optional<QString> TaxonFormatter::firstTaxonNameForPartialString(const QString &partial) const
{
    if (partial.isEmpty()) {
        return std::nullopt;
    }
    for (const QString &name : m_taxonNames) {
        if (name.startsWith(partial, Qt::CaseInsensitive)) {
            return name;
        }
    }
    return std::nullopt;
}

CompletionResult TaxonFormatter::isPartialStringValid(const QString &partial,
                                                      int proposedSelectionStart,
                                                      int originalSelectionStart) const
{
    const CompletionResult keepEdit{true, partial, proposedSelectionStart, 0};
    const std::optional<QString> completion = firstTaxonNameForPartialString(partial);
    if (!completion) {
        return keepEdit;
    }
    // A deletion (Backspace over a selected completion) leaves the cursor
    // where the selection began: completing again would undo the deletion.
    if (proposedSelectionStart == originalSelectionStart) {
        return keepEdit;
    }
    // Nothing left to complete: the typed letter case stays.
    if (completion->size() == partial.size()) {
        return keepEdit;
    }
    const int typed = static_cast<int>(partial.size());
    return CompletionResult{false, *completion, typed,
                            static_cast<int>(completion->size()) - typed};
}

QStringList TaxonFormatter::namesFromSpeciesListText(const QString &text)
{
    QStringList names;
    qsizetype nameStart = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i == text.size() || isSpeciesListSeparator(text.at(i))) {
            if (i > nameStart) {
                names.append(text.mid(nameStart, i - nameStart));
            }
            nameStart = i + 1;
        }
    }
    return names;
}

} // namespace quorvella
