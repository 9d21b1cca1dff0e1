#include "document/DocumentFileHandler.h"

#include "document/MyDocument.h"
#include "document/WaitWithProgress.h"
#include "store/DocumentFile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopedValueRollback>
#include <atomic>
#include <filesystem>
#include <future>

namespace quorvella {
namespace {

std::filesystem::path toPath(const QString &fileName)
{
    return std::filesystem::path(QFile::encodeName(fileName).toStdString());
}

QString couldNotBeSaved(const QString &path)
{
    return DocumentFileHandler::tr("The document \u201c%1\u201d could not be saved.")
        .arg(QFileInfo(path).fileName());
}

} // namespace

DocumentFileHandler::DocumentFileHandler(MyDocument &document) : m_document(document)
{
    m_autosaveTimer.setSingleShot(true);
    m_autosaveTimer.setInterval(MyDocument::autosaveDelayMs);
    connect(&m_autosaveTimer, &QTimer::timeout, this, &DocumentFileHandler::autosave);
    // A save by another program is a burst of events (a temporary file,
    // a rename); look once it is over.
    m_settleTimer.setSingleShot(true);
    m_settleTimer.setInterval(settleDelayMs);
    connect(&m_settleTimer, &QTimer::timeout, this, &DocumentFileHandler::checkFileOnDisk);
    const auto settle = [this] { m_settleTimer.start(); };
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, settle);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, settle);
}

// --- reading ------------------------------------------------------------------

std::optional<Store> DocumentFileHandler::load(const QString &path, DiskFileState &state,
                                               QString &failure, const OpenCancelHook &cancelled)
{
    // The file is hashed on a thread of its own while it is read. A change
    // of the file meanwhile drops the hash, so the version read is never
    // taken for the one on disk: the next look sees a change.
    const DiskFileState before = DiskFileState::of(path, false);
    auto hashed = std::async(std::launch::async, [path] { return DiskFileState::of(path, true); });
    std::optional<Store> store;
    try {
        store = DocumentFile::load(toPath(path), cancelled);
    } catch (const DocumentOpenCancelled &) {
        // Given up by the user: no failure to tell of.
    } catch (const std::exception &error) {
        failure = QString::fromStdString(error.what());
    }
    state = hashed.get();
    if (!state.sameMetadata(before) || !DiskFileState::of(path, false).sameMetadata(before))
        state.contentHash.clear();
    return store;
}

struct DocumentFileHandler::Loaded
{
    DiskFileState state;
    QString failure;
    std::optional<Store> store;
    std::atomic<bool> cancelled = false;
};

std::shared_ptr<DocumentFileHandler::Loaded>
DocumentFileHandler::loadWhileWaiting(const QString &path)
{
    auto loaded = std::make_shared<Loaded>();
    const auto loadInto = [path](Loaded &into) {
        into.store =
            load(path, into.state, into.failure, [&into] { return into.cancelled.load(); });
    };
    if (QFileInfo(path).size() < backgroundOpenBytes) {
        loadInto(*loaded);
        return loaded;
    }
    const QString label = tr("Opening \u201c%1\u201d\u2026").arg(QFileInfo(path).fileName());
    if (!runWhileWaiting(label, [loaded, loadInto] { loadInto(*loaded); })) {
        loaded->cancelled = true; // the reader stops within a chunk and frees what it read
        return nullptr;
    }
    return loaded;
}

bool DocumentFileHandler::open(const QString &path)
{
    const std::shared_ptr<Loaded> loaded = loadWhileWaiting(path);
    if (!loaded)
        return false; // cancelled
    if (!loaded->store) {
        m_document.ui().showErrorAlert(
            tr("The document \u201c%1\u201d could not be opened.").arg(QFileInfo(path).fileName()),
            loaded->failure);
        return false;
    }
    m_autosaveTimer.stop();
    m_known = loaded->state;
    setFileName(path);
    m_document.replaceContents(std::move(*loaded->store));
    m_document.setStatusText({});
    watch();
    emit savedStateChanged();
    return true;
}

bool DocumentFileHandler::reload(bool alertOnFailure)
{
    DiskFileState state;
    QString failure;
    std::optional<Store> loaded = load(m_fileName, state, failure);
    if (!loaded) {
        // The other program may still be writing; the next event tries again.
        if (alertOnFailure)
            m_document.ui().showErrorAlert(tr("The document \u201c%1\u201d could not be reloaded.")
                                               .arg(m_document.displayName()),
                                           failure);
        else
            m_document.setStatusText(
                tr("Another program changed this document, but it could not be read: %1")
                    .arg(failure));
        return false;
    }
    m_autosaveTimer.stop();
    m_known = state;
    m_autosavePaused = false;
    m_document.replaceContents(std::move(*loaded));
    m_document.setStatusText(tr("Reloaded: another program changed this document."));
    emit savedStateChanged();
    return true;
}

// --- watching -------------------------------------------------------------------

void DocumentFileHandler::watch()
{
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    if (!watched.isEmpty())
        m_watcher.removePaths(watched);
    if (m_fileName.isEmpty())
        return;
    // The folder tells of a file that is replaced, renamed, deleted or
    // created again; the file itself of writes in place.
    const QFileInfo file(m_fileName);
    if (file.exists())
        m_watcher.addPath(m_fileName);
    if (file.dir().exists())
        m_watcher.addPath(file.absolutePath());
}

DiskFileState DocumentFileHandler::stateWithHash(const QString &path)
{
    if (QFileInfo(path).size() < backgroundOpenBytes)
        return DiskFileState::of(path, true);
    // Hashing a large file takes a while: away from the window.
    DiskFileState state;
    runWhileWaiting(
        tr("Checking \u201c%1\u201d\u2026").arg(QFileInfo(path).fileName()),
        [&state, path] { state = DiskFileState::of(path, true); }, Cancel::NotOffered);
    return state;
}

DocumentFileHandler::DiskChange DocumentFileHandler::compareWithDisk(bool thorough)
{
    DiskFileState now = DiskFileState::of(m_fileName, false);
    if (!now.exists)
        return DiskChange::Missing;
    if (!thorough && now.sameMetadata(m_known))
        return DiskChange::None;
    now = stateWithHash(m_fileName);
    if (!now.sameContent(m_known))
        return DiskChange::Changed;
    m_known = now; // touched or replaced by the same bytes
    return DiskChange::None;
}

void DocumentFileHandler::checkFileOnDisk()
{
    if (m_fileName.isEmpty())
        return;
    // Never change the records under an open dialog or question.
    if (m_deciding || QApplication::activeModalWidget()) {
        m_settleTimer.start();
        return;
    }
    watch(); // a replaced file is a new file to watch
    switch (compareWithDisk(false)) {
    case DiskChange::None:
        return;
    case DiskChange::Missing:
        m_document.setStatusText(tr("The file of this document was moved or deleted. It is "
                                    "saved there again only when you agree."));
        return;
    case DiskChange::Changed:
        break;
    }
    // A cell being edited is an edit too: commit it before deciding.
    const bool committed = m_document.endEditing();
    if (committed && !m_document.isModified())
        reload(false);
    else if (!m_autosavePaused)
        saveInPlace(Occasion::Autosave); // asks what to do
}

// --- saving -----------------------------------------------------------------------

bool DocumentFileHandler::save()
{
    if (m_fileName.isEmpty())
        return saveAs();
    m_autosavePaused = false; // an explicit save asks again
    return saveInPlace(Occasion::Save);
}

bool DocumentFileHandler::saveAs()
{
    const QString path = m_document.ui().chooseFileToSave(
        tr("Save Document"), MyDocument::fileExtension(), m_document.displayName());
    return !path.isEmpty() && saveTo(withExtension(path, MyDocument::fileExtension()));
}

bool DocumentFileHandler::saveTo(const QString &path)
{
    if (!m_fileName.isEmpty() && QFileInfo(path).absoluteFilePath() == m_fileName)
        return saveInPlace(Occasion::Save);
    return write(path, Occasion::Save);
}

bool DocumentFileHandler::saveInPlace(Occasion occasion)
{
    if (m_deciding)
        return false;
    switch (compareWithDisk(true)) {
    case DiskChange::None:
        return write(m_fileName, occasion);
    case DiskChange::Changed:
        return settleExternalChange(occasion);
    case DiskChange::Missing:
        return settleMissingFile(occasion);
    }
    return false;
}

bool DocumentFileHandler::settleExternalChange(Occasion occasion)
{
    Ui::ExternalChangeAnswer answer;
    {
        const QScopedValueRollback deciding(m_deciding, true);
        answer = m_document.ui().askAboutExternalChange(m_document.displayName());
    }
    switch (answer) {
    case Ui::ExternalChangeAnswer::Reload:
        return reload(true);
    case Ui::ExternalChangeAnswer::KeepMine:
        return write(m_fileName, occasion);
    case Ui::ExternalChangeAnswer::SaveAs:
        return saveAs();
    case Ui::ExternalChangeAnswer::Undecided:
        break;
    }
    pauseAutosave(tr("Not saved: another program changed this document. Save to decide."));
    return false;
}

bool DocumentFileHandler::settleMissingFile(Occasion occasion)
{
    if (m_recreateAgreed)
        return write(m_fileName, occasion);
    Ui::MissingFileAnswer answer;
    {
        const QScopedValueRollback deciding(m_deciding, true);
        answer = m_document.ui().askAboutMissingFile(m_document.displayName());
    }
    switch (answer) {
    case Ui::MissingFileAnswer::SaveAgain:
        m_recreateAgreed = true;
        return write(m_fileName, occasion);
    case Ui::MissingFileAnswer::SaveAs:
        return saveAs();
    case Ui::MissingFileAnswer::DontSave:
        if (occasion == Occasion::Close)
            return true;
        break;
    case Ui::MissingFileAnswer::Cancel:
        break;
    }
    pauseAutosave(tr("Not saved: the file of this document was moved or deleted. Save to "
                     "decide."));
    return false;
}

bool DocumentFileHandler::write(const QString &path, Occasion occasion)
{
    const std::optional<QString> failure = writeTo(path);
    if (!failure)
        return true;
    if (occasion != Occasion::Autosave) {
        m_document.ui().showErrorAlert(couldNotBeSaved(path), *failure);
        return false;
    }
    // One alert per run of failures; later attempts report in the status
    // line, and closing the document asks again.
    if (!m_autosaveFailing) {
        m_autosaveFailing = true;
        m_document.ui().showErrorAlert(couldNotBeSaved(path), *failure);
    }
    m_document.setStatusText(tr("Not saved: %1").arg(*failure));
    return false;
}

std::optional<QString> DocumentFileHandler::writeTo(const QString &path)
{
    std::optional<QString> failure;
    DiskFileState written;
    const Store &store = m_document.store();
    const auto save = [&] {
        try {
            DocumentFile::save(store, toPath(path));
            written = DiskFileState::of(path, true);
        } catch (const std::exception &error) {
            failure = QString::fromStdString(error.what());
        }
    };
    if (store.taxonCount() < backgroundSaveTaxa) {
        save();
    } else {
        const QScopedValueRollback<bool> writing(m_writing, true);
        runWhileWaiting(tr("Saving \u201c%1\u201d\u2026").arg(QFileInfo(path).fileName()), save,
                        Cancel::NotOffered);
    }
    if (failure)
        return failure;
    // What was just written is the version this document knows; the
    // watcher's events about it change nothing.
    m_known = written;
    m_autosaveTimer.stop();
    m_autosaveFailing = false;
    m_autosavePaused = false;
    m_recreateAgreed = false;
    m_document.store().setModified(false);
    m_document.undoStack().setClean();
    setFileName(path);
    watch();
    emit savedStateChanged();
    return std::nullopt;
}

void DocumentFileHandler::setFileName(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (absolute == m_fileName)
        return;
    m_fileName = absolute;
    emit fileNameChanged(m_fileName);
}

// --- automatic saving and closing ------------------------------------------------------

void DocumentFileHandler::scheduleAutosave()
{
    if (MyDocument::autosavesInPlace() && !m_fileName.isEmpty() && m_document.isModified() &&
        !m_autosavePaused)
        m_autosaveTimer.start();
}

void DocumentFileHandler::autosave()
{
    if (m_fileName.isEmpty() || !m_document.isModified() || m_autosavePaused)
        return;
    if (m_document.isChangingInSlices()) { // not half a change: after it
        m_autosaveTimer.start();
        return;
    }
    saveInPlace(Occasion::Autosave);
}

void DocumentFileHandler::pauseAutosave(const QString &reason)
{
    m_autosavePaused = true;
    m_autosaveTimer.stop();
    m_document.setStatusText(reason);
}

bool DocumentFileHandler::prepareToClose()
{
    m_autosaveTimer.stop();
    m_settleTimer.stop();
    if (!m_fileName.isEmpty())
        return !m_document.isModified() || saveInPlace(Occasion::Close);
    if (m_document.isEmpty())
        return true;
    switch (m_document.ui().askSaveChanges(m_document.displayName())) {
    case Ui::SaveChangesAnswer::Save:
        return saveAs();
    case Ui::SaveChangesAnswer::DontSave:
        return true;
    case Ui::SaveChangesAnswer::Cancel:
        break;
    }
    return false;
}

} // namespace quorvella
