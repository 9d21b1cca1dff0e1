// Customising the document toolbar: the panel's commands change every open
// window and later ones, and the set is kept in the settings.

#include "TestSettings.h"
#include "document/DocumentWindow.h"
#include "document/MyDocument.h"
#include "document/ScriptedUi.h"
#include "document/ToolbarConfiguration.h"
#include "document/ToolbarCustomizationDialog.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QSettings>
#include <QTest>
#include <QToolBar>
#include <memory>

using namespace quorvella;
using namespace quorvella::testing;
using namespace Qt::StringLiterals;

namespace {

const QString settingsKey = u"Toolbars/myDocumentToolbar"_s;

struct Window
{
    std::shared_ptr<ScriptedUi> ui = std::make_shared<ScriptedUi>();
    std::unique_ptr<DocumentWindow> window;
    Window()
    {
        auto *document = new MyDocument;
        document->setUi(ui);
        window = std::make_unique<DocumentWindow>(document);
    }
};

void selectAllowed(ToolbarCustomizationDialog &dialog, const QString &identifier)
{
    QListWidget *list = dialog.allowedList();
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->data(Qt::UserRole + 1).toString() == identifier)
            list->setCurrentRow(row);
    }
}

// Runs the panel's commands written as "allowed ID", "row N", "add",
// "remove", "up", "down", "restore".
void run(ToolbarCustomizationDialog &dialog, const QStringList &steps)
{
    for (const QString &step : steps) {
        const QString argument = step.section(QLatin1Char(' '), 1);
        if (step.startsWith(u"allowed"_s))
            selectAllowed(dialog, argument);
        else if (step.startsWith(u"row"_s))
            dialog.toolbarList()->setCurrentRow(argument.toInt());
        else if (step == u"add"_s)
            dialog.addSelected();
        else if (step == u"remove"_s)
            dialog.removeSelected();
        else if (step == u"up"_s || step == u"down"_s)
            dialog.moveSelected(step == u"up"_s ? -1 : 1);
        else if (step == u"restore"_s)
            dialog.restoreDefaultSet();
    }
}

} // namespace

class ToolbarCustomizationTest : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        isolateSettings();
        ToolbarConfiguration::instance().restoreDefaultSet();
    }

    void newWindowShowsTheDefaultSet()
    {
        Window w;
        const QStringList expected{u"QTRAddCollection"_s,
                                   u"QTRDeleteCollection"_s,
                                   u"QTRTaxonList"_s,
                                   u"QTRSeparator"_s,
                                   u"QTRAddTaxon"_s,
                                   u"QTRDeleteTaxon"_s,
                                   u"QTRSeparator"_s,
                                   u"QTRCalculateMetrics"_s,
                                   u"QTRIndividualRarefaction"_s,
                                   u"QTRSeparator"_s,
                                   u"QTRChao2"_s,
                                   u"QTRSampleRarefaction"_s};
        QCOMPARE(w.window->toolbarItemIdentifiers(), expected);
        QCOMPARE(w.window->printAction()->toolTip(), u"Print your document"_s);
        QVERIFY(w.window->printAction()->isEnabled());
    }

    void panelChangesEveryWindowAndIsKept_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("expected");
        const QStringList defaults = ToolbarConfiguration::defaultItemIdentifiers();
        QStringList withPrint = defaults;
        withPrint << u"QTRPrint"_s;
        QStringList withoutFirst = defaults.mid(1);
        QStringList swapped = defaults;
        swapped.swapItemsAt(0, 1);
        QStringList spaces = defaults;
        spaces.insert(1, u"QTRFlexibleSpace"_s);
        spaces.insert(2, u"QTRFlexibleSpace"_s);
        QTest::newRow("print at the end")
            << QStringList{u"allowed QTRPrint"_s, u"row 11"_s, u"add"_s} << withPrint;
        QTest::newRow("remove the first") << QStringList{u"row 0"_s, u"remove"_s} << withoutFirst;
        QTest::newRow("move down") << QStringList{u"row 0"_s, u"down"_s} << swapped;
        QTest::newRow("move the first up: nothing") << QStringList{u"row 0"_s, u"up"_s} << defaults;
        QTest::newRow("flexible space twice")
            << QStringList{u"allowed QTRFlexibleSpace"_s, u"row 0"_s, u"add"_s, u"add"_s} << spaces;
        QTest::newRow("an item already shown is not added again")
            << QStringList{u"allowed QTRChao2"_s, u"row 0"_s, u"add"_s} << defaults;
        QTest::newRow("restore default set")
            << QStringList{u"row 0"_s, u"remove"_s, u"row 3"_s, u"remove"_s, u"restore"_s}
            << defaults;
    }
    void panelChangesEveryWindowAndIsKept()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, expected);
        Window first;
        Window second;
        ToolbarCustomizationDialog dialog;
        run(dialog, steps);

        QCOMPARE(first.window->toolbarItemIdentifiers(), expected);
        QCOMPARE(second.window->toolbarItemIdentifiers(), expected);
        Window later;
        QCOMPARE(later.window->toolbarItemIdentifiers(), expected);
        QStringList shownInPanel;
        for (int row = 0; row < dialog.toolbarList()->count(); ++row)
            shownInPanel << dialog.toolbarList()->item(row)->data(Qt::UserRole + 1).toString();
        QCOMPARE(shownInPanel, expected);
        // Kept for the next start.
        const QStringList defaults = ToolbarConfiguration::defaultItemIdentifiers();
        QCOMPARE(QSettings().value(settingsKey, defaults).toStringList(), expected);
        if (steps.contains(u"restore"_s))
            QVERIFY(!QSettings().contains(settingsKey));
    }

    void anItemOfAnotherCommandJoinsThePanelAndTheToolbar()
    {
        ToolbarConfiguration::instance().addAllowedItem(
            {u"QTRCompareDiversity"_s, u"Compare Diversity\u2026"_s, u"Compare"_s, {}});
        Window w;
        auto *compare = new QAction(u"Compare Diversity\u2026"_s, w.window.get());
        compare->setObjectName(u"QTRCompareDiversity"_s);
        w.window->addToolbarAction(compare);
        ToolbarCustomizationDialog dialog;
        run(dialog, {u"allowed QTRCompareDiversity"_s, u"row 0"_s, u"add"_s});
        QCOMPARE(w.window->toolbarItemIdentifiers().at(1), u"QTRCompareDiversity"_s);
        QVERIFY(w.window->toolBar()->actions().contains(compare));
        // A window without that command leaves the item out.
        Window other;
        QVERIFY(!other.window->toolbarItemIdentifiers().contains(u"QTRCompareDiversity"_s));
    }

    void toolbarContextMenuOpensThePanel()
    {
        Window w;
        std::unique_ptr<QMenu> menu(w.window->createPopupMenu());
        QAction *customize = menu->findChild<QAction *>(u"customizeToolbar"_s);
        QVERIFY(customize);
        customize->trigger();
        auto *panel = w.window->findChild<ToolbarCustomizationDialog *>();
        QVERIFY(panel && panel->isVisible());
        panel->close();
    }

    void printItemShowsTheReportInAPrintPreview()
    {
        Window w;
        ToolbarCustomizationDialog dialog;
        run(dialog, {u"allowed QTRPrint"_s, u"row 0"_s, u"add"_s});
        QVERIFY(w.window->toolbarItemIdentifiers().contains(u"QTRPrint"_s));
        w.window->printAction()->trigger();
        QCOMPARE(w.ui->eventsOf(ScriptedUi::Kind::PrintPreview).size(), 1);
        QCOMPARE(w.ui->events.constFirst().message, u"Untitled"_s);
        QVERIFY(w.ui->printedPdf.startsWith("%PDF"));
    }
};

QTEST_MAIN(ToolbarCustomizationTest)
#include "ToolbarCustomizationTest.moc"
