// Name completion: the rule on its own, the species-list text, and typing
// into the real cell editor.

#include "names/TaxonFormatter.h"
#include "names/TaxonNameEditor.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

using quorvella::TaxonFormatter;
using quorvella::TaxonNameEditor;

namespace {

const QStringList globigerinids{QStringLiteral("Globigerina bulloides"),
                                QStringLiteral("Globigerinoides ruber")};

} // namespace

class TaxonCompletionTest : public QObject
{
    Q_OBJECT

private slots:
    void typingCompletes_data();
    void typingCompletes();
    void pastedWholeNameKeepsItsCase();
    void speciesListText_data();
    void speciesListText();
    void changedTaxaJoinTheList();
    void partialStringRule_data();
    void partialStringRule();
};

void TaxonCompletionTest::typingCompletes_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("keys"); // "\b" stands for Backspace
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("selected");

    QTest::newRow("lower-case g completes in the list's case") << globigerinids << "g"
                                                               << "Globigerina bulloides"
                                                               << "lobigerina bulloides";
    QTest::newRow("typing on narrows to the second name") << globigerinids << "globigerino"
                                                          << "Globigerinoides ruber"
                                                          << "ides ruber";
    QTest::newRow("GLOB takes the case of the entry") << globigerinids << "GLOB"
                                                      << "Globigerina bulloides"
                                                      << "igerina bulloides";
    QTest::newRow("Backspace removes the completion for good") << globigerinids << "g\b"
                                                               << "G"
                                                               << "";
    QTest::newRow("the next character completes again") << globigerinids << "g\bl"
                                                        << "Globigerina bulloides"
                                                        << "obigerina bulloides";
    QTest::newRow("no match is accepted unchanged") << globigerinids << "Xanthium"
                                                    << "Xanthium"
                                                    << "";
    QTest::newRow("a leading space from the file does not match")
        << QStringList{QStringLiteral("Orbulina universa"),
                       QStringLiteral(" Globorotalia menardii")}
        << "Glob"
        << "Glob"
        << "";
    QTest::newRow("list order decides, not the alphabet")
        << QStringList{QStringLiteral("Globorotalia menardii"), QStringLiteral("Globigerina")}
        << "glob"
        << "Globorotalia menardii"
        << "orotalia menardii";
    QTest::newRow("a name listed twice completes as once")
        << QStringList{QStringLiteral("Orbulina"), QStringLiteral("Orbulina")} << "or"
        << "Orbulina"
        << "bulina";
    QTest::newRow("an empty list never completes") << QStringList{} << "Abc"
                                                   << "Abc"
                                                   << "";
}

void TaxonCompletionTest::typingCompletes()
{
    QFETCH(QStringList, names);
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(QString, selected);

    TaxonFormatter formatter;
    formatter.setListOfTaxonNamesFromList(names);
    TaxonNameEditor editor(&formatter);
    editor.show();
    QTest::keyClicks(&editor, keys);

    QCOMPARE(editor.text(), text);
    QCOMPARE(editor.selectedText(), selected);
    if (!selected.isEmpty()) {
        QCOMPARE(editor.selectionEnd(), static_cast<int>(text.size()));
    }
}

void TaxonCompletionTest::pastedWholeNameKeepsItsCase()
{
    TaxonFormatter formatter;
    formatter.setListOfTaxonNamesFromList(globigerinids);
    TaxonNameEditor editor(&formatter);
    editor.show();
    QGuiApplication::clipboard()->setText(QStringLiteral("globigerina bulloides"));
    QTest::keyClick(&editor, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(editor.text(), QStringLiteral("globigerina bulloides"));
    QVERIFY(!editor.hasSelectedText());
}

void TaxonCompletionTest::speciesListText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("names");

    const QStringList two{QStringLiteral("Orbulina universa"),
                          QStringLiteral("Globorotalia menardii")};
    QTest::newRow("line feeds") << "Orbulina universa\nGloborotalia menardii\n" << two;
    QTest::newRow("carriage returns only") << "Orbulina universa\rGloborotalia menardii" << two;
    QTest::newRow("CR LF and blank lines")
        << "\r\nOrbulina universa\r\n\r\n\r\nGloborotalia menardii\r\n"
        << two;
    QTest::newRow("tabs") << "\tOrbulina universa\tGloborotalia menardii\t" << two;
    QTest::newRow("doubled commas") << "Orbulina universa,,Globorotalia menardii," << two;
    QTest::newRow("other line breaks")
        << QStringLiteral("Orbulina universa\u2028\u0085\vGloborotalia menardii\f\u2029") << two;
    QTest::newRow("comma and space keeps the space")
        << "Orbulina universa, Globorotalia menardii"
        << QStringList{QStringLiteral("Orbulina universa"),
                       QStringLiteral(" Globorotalia menardii")};
    QTest::newRow("quotes belong to the name") << "\"Orbulina\"\n"
                                               << QStringList{QStringLiteral("\"Orbulina\"")};
    QTest::newRow("duplicates kept in file order")
        << "b\na\nb\n"
        << QStringList{QStringLiteral("b"), QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("only separators") << ",\n\t\r" << QStringList{};
    QTest::newRow("empty") << "" << QStringList{};
}

void TaxonCompletionTest::speciesListText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, names);
    QCOMPARE(TaxonFormatter::namesFromSpeciesListText(text), names);
}

void TaxonCompletionTest::changedTaxaJoinTheList()
{
    TaxonFormatter formatter;
    formatter.setListOfTaxonNamesFromList({QStringLiteral("Abies"), QStringLiteral("Pinus")});
    QSignalSpy changed(&formatter, &TaxonFormatter::taxonNamesChanged);

    formatter.handleNewTaxon({QStringLiteral("abies"), QStringLiteral("Pinus"),
                              QStringLiteral("Picea"), QStringLiteral("Picea")});
    QCOMPARE(formatter.taxonNames(),
             (QStringList{QStringLiteral("Abies"), QStringLiteral("Pinus"), QStringLiteral("abies"),
                          QStringLiteral("Picea")}));
    QCOMPARE(changed.count(), 1);

    formatter.handleNewTaxon({QStringLiteral("Pinus")});
    QCOMPARE(changed.count(), 1);
}

void TaxonCompletionTest::partialStringRule_data()
{
    QTest::addColumn<QString>("partial");
    QTest::addColumn<int>("proposedStart");
    QTest::addColumn<int>("originalStart");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionLength");

    QTest::newRow("typed character completes")
        << "glo" << 3 << 2 << false << "Globigerina bulloides" << 3 << 18;
    QTest::newRow("deletion keeps the edit") << "glo" << 3 << 3 << true << "glo" << 3 << 0;
    QTest::newRow("whole name keeps its case")
        << "GLOBIGERINA BULLOIDES" << 21 << 20 << true << "GLOBIGERINA BULLOIDES" << 21 << 0;
    QTest::newRow("empty text") << "" << 0 << 1 << true << "" << 0 << 0;
    QTest::newRow("no match") << "Z" << 1 << 0 << true << "Z" << 1 << 0;
}

void TaxonCompletionTest::partialStringRule()
{
    QFETCH(QString, partial);
    QFETCH(int, proposedStart);
    QFETCH(int, originalStart);
    QFETCH(bool, accepted);
    QFETCH(QString, text);
    QFETCH(int, selectionStart);
    QFETCH(int, selectionLength);

    TaxonFormatter formatter;
    formatter.setListOfTaxonNamesFromList(globigerinids);
    const quorvella::CompletionResult result =
        formatter.isPartialStringValid(partial, proposedStart, originalStart);
    QCOMPARE(result.accepted, accepted);
    QCOMPARE(result.text, text);
    QCOMPARE(result.selectionStart, selectionStart);
    QCOMPARE(result.selectionLength, selectionLength);
}

QTEST_MAIN(TaxonCompletionTest)
#include "TaxonCompletionTest.moc"
