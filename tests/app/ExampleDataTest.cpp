// The bundled example data: every text file passes its import check, and
// the example document holds exactly what importing the matrix gives, so
// the document that tools/run.sh opens never drifts from the texts.

#include "store/DocumentFile.h"
#include "store/StoreImport.h"
#include "textio/ImportValidation.h"
#include "textio/TextFile.h"

#include <QtTest>
#include <map>
#include <string>

using namespace quorvella;

Q_DECLARE_METATYPE(quorvella::ImportFormat)

namespace {

std::string examplePath(const char *name)
{
    return std::string(QUORVELLA_SOURCE_DIR "/resources/examples/") + name;
}

// Collection name -> taxon name -> abundance.
using Contents = std::map<std::string, std::map<std::string, std::int32_t>>;

Contents contentsOf(const Store &store)
{
    Contents contents;
    std::map<RecordId, std::string> names;
    for (const Census &census : store.createArrayOfAllCensuses()) {
        names[census.id] = census.censusName.value_or(std::string());
        contents[names[census.id]];
    }
    for (const Taxon &taxon : store.createArrayOfAllTaxa()) {
        if (taxon.census)
            contents[names[*taxon.census]][taxon.taxonName.value_or(std::string())] =
                taxon.abundance.value_or(-1);
    }
    return contents;
}

} // namespace

class ExampleDataTest : public QObject
{
    Q_OBJECT
private slots:
    void textsPassTheirCheck_data();
    void textsPassTheirCheck();
    void documentMatchesTheMatrix();
};

void ExampleDataTest::textsPassTheirCheck_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<ImportFormat>("format");
    QTest::newRow("abundance list")
        << QStringLiteral("forams-abundances.txt") << ImportFormat::AbundanceList;
    QTest::newRow("one collection")
        << QStringLiteral("forams-core-top.csv") << ImportFormat::Collection;
    QTest::newRow("group matrix") << QStringLiteral("forams-matrix.csv")
                                  << ImportFormat::CollectionGroup;
}

void ExampleDataTest::textsPassTheirCheck()
{
    QFETCH(QString, file);
    QFETCH(ImportFormat, format);
    const TextFileResult text = readTextFile(examplePath(file.toLatin1().constData()));
    QVERIFY2(text.ok(), text.error.c_str());
    const ValidationResult check = validateImportText(format, *text.text);
    QVERIFY2(check.isValid(), check.fault.value_or(std::string()).c_str());
}

void ExampleDataTest::documentMatchesTheMatrix()
{
    const TextFileResult matrix = readTextFile(examplePath("forams-matrix.csv"));
    QVERIFY(matrix.ok());
    Store imported;
    addCollectionGroupToMOCFromString(imported, *matrix.text);

    Store document;
    try {
        document = DocumentFile::load(examplePath("forams.qvl"));
    } catch (const DocumentFileError &error) {
        QFAIL(error.what());
    }
    const Contents expected = contentsOf(imported);
    QCOMPARE(expected.size(), std::size_t{6});
    QVERIFY2(contentsOf(document) == expected,
             "forams.qvl differs from forams-matrix.csv: rebuild the target "
             "quorvella_example_document");
}

QTEST_GUILESS_MAIN(ExampleDataTest)
#include "ExampleDataTest.moc"
