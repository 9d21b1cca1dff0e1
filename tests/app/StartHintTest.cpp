// The start hint of an empty, untitled window: shown only while the
// document is untitled and empty, its link loads the example data without
// tying the document to the installed file, and the example is found
// beside an installed program.

#include "app/StartHint.h"

#include "app/ExampleData.h"
#include "document/DocumentWindow.h"
#include "document/MyDocument.h"
#include "document/ScriptedUi.h"
#include "store/DocumentFile.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace quorvella;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Window
{
    std::shared_ptr<ScriptedUi> ui = std::make_shared<ScriptedUi>();
    std::unique_ptr<DocumentWindow> window;
    StartHint *hint = nullptr;

    explicit Window(const QString &examplePath)
    {
        auto *document = new MyDocument;
        document->setUi(ui);
        window = std::make_unique<DocumentWindow>(document);
        hint = StartHint::attach(*window, examplePath);
        window->show();
    }

    MyDocument &document() { return window->document(); }
    bool hintShown() const { return hint->label()->isVisibleTo(window.get()); }
};

} // namespace

class StartHintTest : public QObject
{
    Q_OBJECT

private slots:
    void shownOnlyWhileTheUntitledDocumentIsEmpty();
    void linkLoadsTheExampleIntoTheUntitledDocument();
    void exampleIsFoundBesideTheInstalledProgram();
};

void StartHintTest::shownOnlyWhileTheUntitledDocumentIsEmpty()
{
    Window w(exampleDocumentPath());
    QVERIFY(w.hint->label()->text().startsWith(
        QStringLiteral("Add a collection, or import a file: File &gt; Import")));
    QVERIFY(w.hintShown());
    w.document().addCollection();
    QVERIFY(!w.hintShown());
    w.document().undoStack().undo();
    QVERIFY(w.hintShown());

    QTemporaryDir dir;
    QVERIFY(w.document().saveTo(dir.filePath(QStringLiteral("empty.qvl"))));
    QVERIFY(!w.hintShown()); // a document with a file is no new start
}

void StartHintTest::linkLoadsTheExampleIntoTheUntitledDocument()
{
    const QString example = exampleDocumentPath();
    QVERIFY(!example.isEmpty());
    const QByteArray bytesBefore = readAll(example);
    Window w(example);

    emit w.hint->label()->linkActivated(QStringLiteral("example"));

    const Store expected = DocumentFile::load(QFile::encodeName(example).toStdString());
    QCOMPARE(w.document().store().censusCount(), expected.censusCount());
    QCOMPARE(w.document().store().taxonCount(), expected.taxonCount());
    QVERIFY(expected.censusCount() > 0);
    QVERIFY(w.document().selectedCollection().has_value());
    QVERIFY(w.document().fileName().isEmpty());
    QVERIFY(!w.hintShown());
    // Editing the loaded data never writes to the example file.
    w.document().addCollection();
    QTest::qWait(MyDocument::autosaveDelayMs + 300);
    QCOMPARE(readAll(example), bytesBefore);
    QVERIFY(w.ui->events.isEmpty());
}

void StartHintTest::exampleIsFoundBesideTheInstalledProgram()
{
    QTemporaryDir prefix;
    QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("bin")));
    // Not installed: the source tree's example.
    QCOMPARE(exampleDocumentPathFrom(prefix.filePath(QStringLiteral("bin"))),
             QFileInfo(QStringLiteral(QUORVELLA_SOURCE_DIR "/resources/examples/forams.qvl"))
                 .canonicalFilePath());

    QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("share/quorvella/examples")));
    const QString installed =
        prefix.filePath(QStringLiteral("share/quorvella/examples/forams.qvl"));
    QVERIFY(QFile::copy(QStringLiteral(QUORVELLA_SOURCE_DIR "/resources/examples/forams.qvl"),
                        installed));
    QCOMPARE(exampleDocumentPathFrom(prefix.filePath(QStringLiteral("bin"))),
             QFileInfo(installed).canonicalFilePath());
}

QTEST_MAIN(StartHintTest)
#include "StartHintTest.moc"
