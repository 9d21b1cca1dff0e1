// A document's file changed, replaced, moved or deleted underneath the open
// document, by the store layer as quorvella-cli writes it, by the tool itself
// and by a write in place that leaves size and time as they were.

#include "document/DocumentFileHandler.h"

#include "DocumentFixtures.h"
#include "TestSettings.h"
#include "document/CensusTableModel.h"
#include "document/MyDocument.h"
#include "document/ScriptedUi.h"
#include "document/TaxonTableModel.h"
#include "store/DocumentFile.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

using namespace quorvella;
using namespace quorvella::testing;
using namespace Qt::StringLiterals;

using External = Ui::ExternalChangeAnswer;
using Missing = Ui::MissingFileAnswer;
Q_DECLARE_METATYPE(Ui::ExternalChangeAnswer)
Q_DECLARE_METATYPE(Ui::MissingFileAnswer)

namespace {

constexpr int enoughForAutosaveMs =
    MyDocument::autosaveDelayMs + 3 * DocumentFileHandler::settleDelayMs;

std::filesystem::path toPath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

// Collection names in display order.
QStringList namesIn(const Store &store)
{
    std::vector<Census> censuses = store.createArrayOfAllCensuses();
    std::sort(censuses.begin(), censuses.end(), censusDisplayLess);
    QStringList names;
    for (const Census &census : censuses)
        names << QString::fromStdString(census.censusName.value_or(std::string()));
    return names;
}

QStringList namesOnDisk(const QString &path)
{
    return namesIn(DocumentFile::load(toPath(path)));
}

// What another program does: read the document, add a collection, write it
// back atomically (a new file renamed over the old one).
void addCollectionOnDisk(const QString &path, const std::string &name)
{
    Store store = DocumentFile::load(toPath(path));
    addCensus(store, name, {{"z", 4}});
    DocumentFile::save(store, toPath(path));
}

struct OpenDocument
{
    QTemporaryDir dir;
    QString path = dir.filePath(u"survey.qvl"_s);
    std::shared_ptr<ScriptedUi> ui = std::make_shared<ScriptedUi>();
    MyDocument document;

    bool open()
    {
        Store store;
        addCensus(store, "alpha", {{"a", 3}, {"b", 1}});
        addCensus(store, "beta", {{"c", 2}, {"d", 5}});
        DocumentFile::save(store, toPath(path));
        document.setUi(ui);
        return document.open(path);
    }
    QStringList names() const { return namesIn(document.store()); }
    void typeCollection(const QString &name)
    {
        document.addCollection();
        document.setCensusName(*document.selectedCollection(), name);
    }
    qsizetype asked(ScriptedUi::Kind kind) const { return ui->eventsOf(kind).size(); }
};

} // namespace

class DocumentFileHandlerTest : public QObject
{
    Q_OBJECT
private slots:
    void init() { isolateSettings(); }

    void largeDocumentsAreWrittenAndReadAwayFromTheWindow()
    {
        // Enough taxa to save on another thread, a file large enough to open on one.
        const int taxa = 250000;
        QVERIFY(std::size_t(taxa) >= DocumentFileHandler::backgroundSaveTaxa);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"large.qvl"_s);
        MyDocument written;
        written.setUi(std::make_shared<ScriptedUi>());
        {
            Store records;
            const RecordId census = addCensus(records, "large");
            for (int i = 0; i < taxa; ++i) {
                Taxon taxon;
                taxon.taxonName = "taxon " + std::to_string(i) + " of a long community table";
                taxon.abundance = 1 + i % 7;
                taxon.census = census;
                records.insertTaxon(taxon);
            }
            written.replaceContents(std::move(records));
        }
        QVERIFY(written.saveTo(path));
        QVERIFY(!written.isModified());
        QVERIFY(!written.fileHandler().isWriting());
        QVERIFY(QFileInfo(path).size() >= DocumentFileHandler::backgroundOpenBytes);

        MyDocument opened;
        opened.setUi(std::make_shared<ScriptedUi>());
        QVERIFY(opened.open(path));
        QCOMPARE(opened.store().taxonCount(), std::size_t(taxa));
        QCOMPARE(opened.selectedCollectionName(), u"large"_s);

        // Cancel in the progress dialog: nothing opens, nothing alerts, and
        // the reader gives up (the pool's threads come to an end).
        MyDocument cancelled;
        const auto ui = std::make_shared<ScriptedUi>();
        cancelled.setUi(ui);
        QTimer cancel;
        cancel.setInterval(1);
        connect(&cancel, &QTimer::timeout, &cancel, [] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                auto *dialog = qobject_cast<QProgressDialog *>(widget);
                if (dialog && dialog->isVisible())
                    dialog->findChild<QPushButton *>()->click();
            }
        });
        cancel.start();
        QVERIFY(!cancelled.open(path));
        cancel.stop();
        QVERIFY(cancelled.isEmpty());
        QVERIFY(cancelled.fileName().isEmpty());
        QVERIFY(ui->lastAlert().message.isEmpty());
        QThreadPool::globalInstance()->waitForDone();
    }

    void importByTheToolUnderAnUneditedDocumentReloadsIt()
    {
#ifndef QUORVELLA_CLI_PATH
        QSKIP("quorvella-cli is not built");
#else
        OpenDocument f;
        QVERIFY(f.open());
        const RecordId beta = f.document.censusModel().censusAt(1);
        f.document.selectCollection(beta);
        f.document.taxonSelection().select(f.document.taxonModel().index(1, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        const std::vector<RecordId> selectedTaxa = f.document.selectedTaxa();

        const QString table = f.dir.filePath(u"gamma.txt"_s);
        QFile file(table);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x,5\ny,2\n");
        file.close();
        QCOMPARE(
            QProcess::execute(QStringLiteral(QUORVELLA_CLI_PATH),
                              {u"import"_s, u"--format"_s, u"table"_s, table, u"--into"_s, f.path}),
            0);

        QTRY_COMPARE_WITH_TIMEOUT(f.document.store().censusCount(), std::size_t(3), 5000);
        QCOMPARE(f.document.selectedCollection(), std::optional<RecordId>(beta));
        QCOMPARE(f.document.selectedTaxa(), selectedTaxa);
        QVERIFY(!f.document.isModified());
        QVERIFY(f.document.statusText().startsWith(u"Reloaded"_s));
        QVERIFY(f.ui->events.isEmpty());
        QCOMPARE(f.document.store().createArrayOfAllCensuses().size(), std::size_t(3));
#endif
    }

    void ownSavesCauseNoReload()
    {
        OpenDocument f;
        QVERIFY(f.open());
        f.typeCollection(u"mine"_s);
        QTRY_VERIFY_WITH_TIMEOUT(!f.document.isModified(), 5000);
        QTest::qWait(3 * DocumentFileHandler::settleDelayMs);
        // A reload would have cleared the undo history.
        QCOMPARE(f.document.undoStack().count(), 2);
        QVERIFY(f.document.statusText().isEmpty());
        QVERIFY(f.ui->events.isEmpty());
        QCOMPARE(namesOnDisk(f.path), (QStringList{u"alpha"_s, u"beta"_s, u"mine"_s}));
    }

    void editsHereAndAChangeOnDisk_data()
    {
        QTest::addColumn<bool>("closing");
        QTest::addColumn<External>("answer");
        QTest::addColumn<QStringList>("onDisk");
        QTest::addColumn<QStringList>("inWindow");
        QTest::addColumn<bool>("modified");
        const QStringList theirs{u"alpha"_s, u"beta"_s, u"theirs"_s};
        const QStringList mine{u"alpha"_s, u"beta"_s, u"mine"_s};
        QTest::newRow("reload") << false << External::Reload << theirs << theirs << false;
        QTest::newRow("keep mine") << false << External::KeepMine << mine << mine << false;
        QTest::newRow("save as") << false << External::SaveAs << theirs << mine << false;
        QTest::newRow("undecided") << false << External::Undecided << theirs << mine << true;
        QTest::newRow("closing: keep mine") << true << External::KeepMine << mine << mine << false;
        QTest::newRow("closing: undecided")
            << true << External::Undecided << theirs << mine << true;
    }
    void editsHereAndAChangeOnDisk()
    {
        QFETCH(bool, closing);
        QFETCH(External, answer);
        OpenDocument f;
        QVERIFY(f.open());
        f.typeCollection(u"mine"_s);
        addCollectionOnDisk(f.path, "theirs");
        f.ui->externalChangeAnswers.enqueue(answer);
        const QString copy = f.dir.filePath(u"copy.qvl"_s);
        f.ui->savePaths.enqueue(copy);
        if (closing)
            QCOMPARE(f.document.prepareToClose(), answer != External::Undecided);
        else
            QTRY_COMPARE_WITH_TIMEOUT(f.asked(ScriptedUi::Kind::ExternalChange), 1, 5000);
        QTest::qWait(enoughForAutosaveMs);

        QCOMPARE(f.asked(ScriptedUi::Kind::ExternalChange), 1);
        QTEST(namesOnDisk(f.path), "onDisk");
        QTEST(f.names(), "inWindow");
        QTEST(f.document.isModified(), "modified");
        if (answer == External::SaveAs) {
            QCOMPARE(f.document.fileName(), copy);
            QTEST(namesOnDisk(copy), "inWindow");
        }
        if (answer == External::Undecided)
            QVERIFY(f.document.statusText().startsWith(u"Not saved"_s));
        // The other program's collection took the id of the one typed here,
        // which was never saved: the selection does not pass to it.
        if (answer == External::Reload)
            QCOMPARE(f.document.selectedCollectionName(), u"alpha"_s);
    }

    void autosaveComparesTheContentEvenWhenSizeAndTimeStayTheSame()
    {
        // A write in place that keeps size, time and inode: the watcher's
        // quick look sees nothing, the look before saving reads the bytes.
        OpenDocument f;
        QVERIFY(f.open());
        struct stat before
        {
        };
        QVERIFY(::stat(QFile::encodeName(f.path).constData(), &before) == 0);
        QFile file(f.path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        QVERIFY(bytes.contains("alpha"));
        bytes.replace("alpha", "omega");
        QVERIFY(file.seek(0));
        QCOMPARE(file.write(bytes), bytes.size());
        file.close();
        const timespec times[2] = {before.st_atim, before.st_mtim};
        QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(f.path).constData(), times, 0) == 0);

        f.typeCollection(u"mine"_s);
        f.ui->externalChangeAnswers.enqueue(External::Reload);
        QTRY_COMPARE_WITH_TIMEOUT(f.asked(ScriptedUi::Kind::ExternalChange), 1, 5000);
        QCOMPARE(f.names(), (QStringList{u"beta"_s, u"omega"_s}));
        QVERIFY(!f.document.isModified());
    }

    void movedOrDeletedFile_data()
    {
        QTest::addColumn<bool>("renamed");
        QTest::addColumn<bool>("closing");
        QTest::addColumn<Missing>("answer");
        QTest::addColumn<bool>("savedAtOldPlace");
        QTest::addColumn<bool>("result"); // of prepareToClose when closing
        QTest::newRow("deleted, save again")
            << false << false << Missing::SaveAgain << true << true;
        QTest::newRow("deleted, cancel") << false << false << Missing::Cancel << false << false;
        QTest::newRow("deleted, don't save")
            << false << false << Missing::DontSave << false << false;
        QTest::newRow("renamed, cancel") << true << false << Missing::Cancel << false << false;
        QTest::newRow("renamed, save as") << true << false << Missing::SaveAs << false << true;
        QTest::newRow("closing, don't save") << false << true << Missing::DontSave << false << true;
        QTest::newRow("closing, cancel") << false << true << Missing::Cancel << false << false;
    }
    void movedOrDeletedFile()
    {
        QFETCH(bool, renamed);
        QFETCH(bool, closing);
        QFETCH(Missing, answer);
        OpenDocument f;
        QVERIFY(f.open());
        const QString moved = f.dir.filePath(u"moved.qvl"_s);
        QVERIFY(renamed ? QFile::rename(f.path, moved) : QFile::remove(f.path));
        QTRY_VERIFY_WITH_TIMEOUT(f.document.statusText().contains(u"moved or deleted"_s), 5000);
        f.typeCollection(u"mine"_s);
        f.ui->missingFileAnswers.enqueue(answer);
        const QString elsewhere = f.dir.filePath(u"elsewhere.qvl"_s);
        f.ui->savePaths.enqueue(elsewhere);
        if (closing)
            QTEST(f.document.prepareToClose(), "result");
        else
            QTRY_COMPARE_WITH_TIMEOUT(f.asked(ScriptedUi::Kind::MissingFile), 1, 5000);
        QTest::qWait(enoughForAutosaveMs);

        QCOMPARE(f.asked(ScriptedUi::Kind::MissingFile), 1);
        QTEST(QFile::exists(f.path), "savedAtOldPlace");
        if (QFile::exists(f.path))
            QCOMPARE(namesOnDisk(f.path), (QStringList{u"alpha"_s, u"beta"_s, u"mine"_s}));
        if (renamed) // the moved file is the other program's business
            QCOMPARE(namesOnDisk(moved), (QStringList{u"alpha"_s, u"beta"_s}));
        if (answer == Missing::SaveAs)
            QCOMPARE(f.document.fileName(), elsewhere);
    }
};

QTEST_MAIN(DocumentFileHandlerTest)
#include "DocumentFileHandlerTest.moc"
