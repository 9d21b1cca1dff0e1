#include "names/FileImport.h"

#include "document/DocumentWindow.h"
#include "document/MyDocument.h"
#include "document/StoreEdit.h"
#include "document/Ui.h"
#include "document/WaitWithProgress.h"
#include "names/DocumentWindowNames.h"
#include "names/TaxonFormatter.h"
#include "store/StoreImport.h"
#include "textio/ImportMessages.h"
#include "textio/TextFile.h"

#include <QCoreApplication>
#include <QFile>

namespace quorvella {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("FileImport", text);
}

// From this size on the reading runs away from the window.
constexpr std::size_t backgroundCheckBytes = 8 << 20;

QString fromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

StoreImportResult addRecords(Store &store, ImportFormat format, const std::string &text)
{
    switch (format) {
    case ImportFormat::AbundanceList:
        return addAbundanceListToMOCFromString(store, text);
    case ImportFormat::Collection:
        return addCollectionToMOCFromString(store, text);
    case ImportFormat::CollectionGroup:
        break;
    }
    return addCollectionGroupToMOCFromString(store, text);
}

QStringList toStringList(const std::optional<std::vector<std::string>> &names)
{
    QStringList list;
    if (names) {
        list.reserve(static_cast<qsizetype>(names->size()));
        for (const std::string &name : *names) {
            list.append(QString::fromStdString(name));
        }
    }
    return list;
}

void setCompletionList(DocumentWindow &window, const std::optional<std::vector<std::string>> &names)
{
    DocumentWindowNames *windowNames = DocumentWindowNames::find(window);
    if (windowNames != nullptr && names) {
        windowNames->setCompletionList(toStringList(names));
    }
}

} // namespace

QStringList importFileExtensions()
{
    return {QStringLiteral("txt"), QStringLiteral("csv")};
}

QString importCommandTitle(ImportFormat format)
{
    switch (format) {
    case ImportFormat::AbundanceList:
        return tr("Import Abundance List");
    case ImportFormat::Collection:
        return tr("Import One Collection");
    case ImportFormat::CollectionGroup:
        break;
    }
    return tr("Import Group of Collections");
}

std::optional<std::string> readImportFile(Ui &ui, const QString &path)
{
    TextFileResult file = readTextFile(QFile::encodeName(path).toStdString());
    if (!file.ok()) {
        ui.showErrorAlert(tr("The file could not be imported because it could not be read."),
                          QString::fromStdString(file.error));
        return std::nullopt;
    }
    return std::move(file.text);
}

bool checkImportText(Ui &ui, ImportFormat format, const std::string &text)
{
    const ValidationResult result = validateImportText(format, text);
    if (result.isValid()) {
        return true;
    }
    ui.showImportAlert(fromView(importmessages::alertMessage),
                       QString::fromStdString(*result.fault), fromView(importmessages::helpAnchor));
    return false;
}

void importTextIntoWindow(DocumentWindow &window, ImportFormat format, const std::string &text)
{
    MyDocument &document = window.document();
    const StoreImportResult result = document.importRecords(
        importCommandTitle(format), [&](Store &store) { return addRecords(store, format, text); });
    if (format != ImportFormat::CollectionGroup) {
        document.selectMostRecentCollection();
    }
    setCompletionList(window, result.completionList);
}

QString communityImportTitle()
{
    return tr("Import Community Table");
}

QStringList communityFileExtensions()
{
    return {QStringLiteral("tsv"), QStringLiteral("txt"), QStringLiteral("csv")};
}

std::shared_ptr<CommunityCounts> readCommunityText(Ui &ui,
                                                   const std::shared_ptr<const std::string> &text,
                                                   const CommunityOptions &options)
{
    auto read = std::make_shared<CommunityCounts>();
    const auto readAll = [text, options, read] { *read = readCommunityCounts(*text, options); };
    if (text->size() < backgroundCheckBytes) {
        readAll();
    } else if (!runWhileWaiting(tr("Reading the community table\u2026"), readAll)) {
        return nullptr;
    }
    if (read->fault) {
        ui.showImportAlert(fromView(importmessages::alertMessage),
                           QString::fromStdString(read->fault->message()),
                           fromView(importmessages::helpAnchor));
        return nullptr;
    }
    return read;
}

bool importCommunityIntoWindow(DocumentWindow &window, std::shared_ptr<CommunityCounts> table)
{
    MyDocument &document = window.document();
    const MyDocument::BusyScope busy(document);
    // The records are made in a store of their own, numbered as the
    // document would number them, then put into the document; the
    // completion list is made there too.
    struct Prepared
    {
        DeletedRecords records;
        QStringList completion;
    };
    auto prepared = std::make_shared<Prepared>();
    const RecordId firstId = document.store().nextRecordId();
    const auto prepare = [table, prepared, firstId] {
        Store own;
        StoreImportResult result = addCommunityCountsToMOC(own, std::move(*table));
        prepared->records = renumberedRecords(own, firstId);
        prepared->completion = toStringList(result.completionList);
    };
    std::size_t taxa = 0;
    for (const std::vector<CommunityCell> &cells : table->cells) {
        taxa += cells.size();
    }
    if (taxa < MyDocument::slicedEditRecords) {
        prepare();
    } else if (!runWhileWaiting(tr("Preparing the import\u2026"), prepare)) {
        return false;
    }
    if (document.store().nextRecordId() != firstId ||
        !document.insertPreparedRecords(communityImportTitle(), std::move(prepared->records))) {
        return false;
    }
    if (DocumentWindowNames *windowNames = DocumentWindowNames::find(window)) {
        windowNames->setCompletionList(prepared->completion);
    }
    return true;
}

} // namespace quorvella
