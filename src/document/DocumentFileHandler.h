#pragma once

// The file side of one document: opening, saving, saving automatically
// shortly after each change, and watching the file for other programs.
//
// Another program may change the file while it is open (quorvella-cli's
// import --into does). A watcher and a look at the file before every save
// compare the file with the version this document last read or wrote:
// - changed on disk, no unsaved edits here: the document reloads it;
// - changed on disk and edited here: the user decides (Reload, Keep Mine,
//   Save As…); until then nothing is written;
// - moved or deleted: the document is saved there again only when the user
//   agrees.
// The document's own saves are recognised and cause no reload.

#include "document/DiskFileState.h"
#include "store/DocumentFile.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <optional>

namespace quorvella {

class MyDocument;
class Store;

class DocumentFileHandler final : public QObject
{
    Q_OBJECT
public:
    // How long the watcher waits for a burst of file events to end before
    // it looks at the file.
    static constexpr int settleDelayMs = 250;
    // Files from this size on are read on another thread while a progress
    // dialog with Cancel shows (a cancelled open fails without an alert).
    static constexpr qint64 backgroundOpenBytes = 8 << 20;
    // Documents of more taxa are written on another thread behind a modal
    // progress dialog (the window keeps painting; nothing can change the
    // records meanwhile).
    static constexpr std::size_t backgroundSaveTaxa = 200000;

    explicit DocumentFileHandler(MyDocument &document);

    bool open(const QString &path);
    bool save();
    bool saveAs();
    bool saveTo(const QString &path);
    bool prepareToClose();
    QString fileName() const { return m_fileName; }
    // A save is being written on another thread: the records must not change.
    bool isWriting() const { return m_writing; }

    // Called after every change of the records.
    void scheduleAutosave();
    // Looks at the file on disk now, as the watcher does after an event.
    void checkFileOnDisk();

signals:
    void fileNameChanged(const QString &fileName);
    // Saved or reloaded: the modified state may have changed without a
    // change of the records.
    void savedStateChanged();

private:
    enum class Occasion { Autosave, Save, Close };
    enum class DiskChange { None, Changed, Missing };

    // Nothing when it fails (`failure` says why) or is cancelled (`failure` empty).
    static std::optional<Store> load(const QString &path, DiskFileState &state, QString &failure,
                                     const OpenCancelHook &cancelled = {});
    // load, for a large file on another thread; nothing when cancelled.
    struct Loaded;
    static std::shared_ptr<Loaded> loadWhileWaiting(const QString &path);
    DiskChange compareWithDisk(bool thorough);
    static DiskFileState stateWithHash(const QString &path);
    bool saveInPlace(Occasion occasion);
    bool settleExternalChange(Occasion occasion);
    bool settleMissingFile(Occasion occasion);
    bool reload(bool alertOnFailure);
    bool write(const QString &path, Occasion occasion);
    std::optional<QString> writeTo(const QString &path);
    void autosave();
    void pauseAutosave(const QString &reason);
    void setFileName(const QString &path);
    void watch();

    MyDocument &m_document;
    QString m_fileName;
    DiskFileState m_known; // the file as this document last read or wrote it
    QTimer m_autosaveTimer;
    QTimer m_settleTimer;
    QFileSystemWatcher m_watcher;
    bool m_autosaveFailing = false;
    bool m_writing = false;
    // The user left a change on disk undecided or declined to save a
    // missing file again: autosave waits for an explicit save.
    bool m_autosavePaused = false;
    bool m_recreateAgreed = false; // save a missing file again
    bool m_deciding = false;       // a question about the file is open
};

} // namespace quorvella
