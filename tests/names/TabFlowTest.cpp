// The Tab flow of the two tables: name, Tab, abundance, Tab, next name; Tab
// after the last row asks for a new row; Return ends editing and adds none.

#include "names/CensusTableView.h"
#include "names/SpeciesTableView.h"

#include <QApplication>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTest>

using quorvella::CensusTableView;
using quorvella::SpeciesTableView;
using quorvella::TabFlowTableView;

namespace {

using Cell = QPair<int, int>;
const Cell notEditing{-1, -1};

void appendRow(QStandardItemModel &model, const QStringList &cells)
{
    QList<QStandardItem *> items;
    for (const QString &cell : cells) {
        items.append(new QStandardItem(cell));
    }
    model.appendRow(items);
}

// What the document does on a request for a new row: add it and open its
// name cell.
void addRowAndEditName(TabFlowTableView &view, QStandardItemModel &model, int nameColumn)
{
    appendRow(model, QStringList(model.columnCount(), QString()));
    view.selectRowAndEdit(model.rowCount() - 1, nameColumn);
}

// Refuses an abundance that is not a number, as the document does.
class RefusingModel : public QStandardItemModel
{
public:
    using QStandardItemModel::QStandardItemModel;
    int refused = 0;

    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        bool isNumber = false;
        value.toString().toInt(&isNumber);
        if (index.column() == SpeciesTableView::abundanceColumn && !isNumber) {
            ++refused;
            return false;
        }
        return QStandardItemModel::setData(index, value, role);
    }
};

Cell editedCell(const TabFlowTableView &view)
{
    if (!view.isEditing()) {
        return notEditing;
    }
    return {view.currentIndex().row(), view.currentIndex().column()};
}

void typeAndPress(const QString &text, Qt::Key key)
{
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor != nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, key);
    // The delegate commits a Return through the event queue.
    QApplication::processEvents();
}

void showActive(QWidget &view)
{
    view.show();
    view.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&view));
}

} // namespace

class TabFlowTest : public QObject
{
    Q_OBJECT

private slots:
    void speciesTable_data();
    void speciesTable();
    void censusTable_data();
    void censusTable();
    void speciesTableWhileRowsResort();
    void refusedValueKeepsTheEditorOpen_data();
    void refusedValueKeepsTheEditorOpen();
};

void TabFlowTest::speciesTable_data()
{
    QTest::addColumn<Cell>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<Cell>("next");
    QTest::addColumn<int>("rowsAfter");

    QTest::newRow("name Tab goes to its abundance")
        << Cell{0, 1} << int(Qt::Key_Tab) << Cell{0, 2} << 2;
    QTest::newRow("abundance Tab goes to the next name")
        << Cell{0, 2} << int(Qt::Key_Tab) << Cell{1, 1} << 2;
    QTest::newRow("last abundance Tab adds a taxon")
        << Cell{1, 2} << int(Qt::Key_Tab) << Cell{2, 1} << 3;
    QTest::newRow("last name Tab goes to its abundance")
        << Cell{1, 1} << int(Qt::Key_Tab) << Cell{1, 2} << 2;
    QTest::newRow("Return in a name adds nothing")
        << Cell{1, 1} << int(Qt::Key_Return) << notEditing << 2;
    QTest::newRow("Return in the last abundance adds nothing")
        << Cell{1, 2} << int(Qt::Key_Return) << notEditing << 2;
    QTest::newRow("Tab in another column goes nowhere")
        << Cell{1, 0} << int(Qt::Key_Tab) << notEditing << 2;
}

void TabFlowTest::speciesTable()
{
    QFETCH(Cell, start);
    QFETCH(int, key);
    QFETCH(Cell, next);
    QFETCH(int, rowsAfter);

    QStandardItemModel model(0, 3);
    appendRow(model, {QStringLiteral(""), QStringLiteral("Abies"), QStringLiteral("5")});
    appendRow(model, {QStringLiteral(""), QStringLiteral("Pinus"), QStringLiteral("3")});
    SpeciesTableView view;
    view.setModel(&model);
    connect(&view, &SpeciesTableView::addTaxonRequested, &view,
            [&] { addRowAndEditName(view, model, SpeciesTableView::taxonNameColumn); });
    showActive(view);

    view.selectRowAndEdit(start.first, start.second);
    typeAndPress(QStringLiteral("7"), static_cast<Qt::Key>(key));

    QCOMPARE(model.item(start.first, start.second)->text(), QStringLiteral("7"));
    QCOMPARE(editedCell(view), next);
    QCOMPARE(model.rowCount(), rowsAfter);
}

void TabFlowTest::censusTable_data()
{
    QTest::addColumn<Cell>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<Cell>("next");
    QTest::addColumn<int>("rowsAfter");

    QTest::newRow("Tab goes to the next collection's name")
        << Cell{0, 0} << int(Qt::Key_Tab) << Cell{1, 0} << 2;
    QTest::newRow("Tab in the last row adds a collection")
        << Cell{1, 0} << int(Qt::Key_Tab) << Cell{2, 0} << 3;
    QTest::newRow("Tab in another column of the last row adds a collection")
        << Cell{1, 1} << int(Qt::Key_Tab) << Cell{2, 0} << 3;
    QTest::newRow("Return adds nothing") << Cell{1, 0} << int(Qt::Key_Return) << notEditing << 2;
}

void TabFlowTest::censusTable()
{
    QFETCH(Cell, start);
    QFETCH(int, key);
    QFETCH(Cell, next);
    QFETCH(int, rowsAfter);

    QStandardItemModel model(0, 2);
    appendRow(model, {QStringLiteral("S1"), QStringLiteral("x")});
    appendRow(model, {QStringLiteral("S2"), QStringLiteral("y")});
    CensusTableView view;
    view.setModel(&model);
    connect(&view, &CensusTableView::addCollectionRequested, &view,
            [&] { addRowAndEditName(view, model, CensusTableView::collectionNameColumn); });
    showActive(view);

    view.selectRowAndEdit(start.first, start.second);
    typeAndPress(QStringLiteral("S9"), static_cast<Qt::Key>(key));

    QCOMPARE(model.item(start.first, start.second)->text(), QStringLiteral("S9"));
    QCOMPARE(editedCell(view), next);
    QCOMPARE(model.rowCount(), rowsAfter);
}

// Committing a value may move the row (taxa are listed by abundance, then
// name): Tab follows the record. From a name it opens the same taxon's
// abundance; from the abundance of what was the last row, now the first, it
// opens the name of the row below, where the record now sits.
void TabFlowTest::speciesTableWhileRowsResort()
{
    QStandardItemModel model(0, 3);
    appendRow(model, {QString(), QStringLiteral("b"), QStringLiteral("5")});
    appendRow(model, {QString(), QStringLiteral("c"), QStringLiteral("3")});
    QSortFilterProxyModel sorted;
    sorted.setSourceModel(&model);
    sorted.setDynamicSortFilter(true);
    sorted.sort(SpeciesTableView::taxonNameColumn);
    SpeciesTableView view;
    view.setModel(&sorted);
    int added = 0;
    connect(&view, &SpeciesTableView::addTaxonRequested, &view, [&] { ++added; });
    showActive(view);

    view.selectRowAndEdit(1, SpeciesTableView::taxonNameColumn);
    typeAndPress(QStringLiteral("a"), Qt::Key_Tab);
    QCOMPARE(sorted.index(0, 1).data().toString(), QStringLiteral("a"));
    QCOMPARE(editedCell(view), (Cell{0, 2}));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!view.isEditing());
    sorted.sort(SpeciesTableView::abundanceColumn, Qt::DescendingOrder);
    view.selectRowAndEdit(1, SpeciesTableView::abundanceColumn);
    typeAndPress(QStringLiteral("9"), Qt::Key_Tab);
    QCOMPARE(sorted.index(0, 2).data().toString(), QStringLiteral("9"));
    QCOMPARE(editedCell(view), (Cell{1, 1}));
    QCOMPARE(added, 0);
}

void TabFlowTest::refusedValueKeepsTheEditorOpen_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<Cell>("next");
    QTest::addColumn<int>("rowsAfter");

    QTest::newRow("Tab after a refused value") << "x" << int(Qt::Key_Tab) << Cell{1, 2} << 2;
    QTest::newRow("Return after a refused value") << "x" << int(Qt::Key_Return) << Cell{1, 2} << 2;
    QTest::newRow("Tab after an accepted value") << "4" << int(Qt::Key_Tab) << Cell{2, 1} << 3;
}

void TabFlowTest::refusedValueKeepsTheEditorOpen()
{
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(Cell, next);
    QFETCH(int, rowsAfter);

    RefusingModel model(0, 3);
    appendRow(model, {QString(), QStringLiteral("Abies"), QStringLiteral("5")});
    appendRow(model, {QString(), QStringLiteral("Pinus"), QStringLiteral("3")});
    SpeciesTableView view;
    view.setModel(&model);
    view.setRefusedEditCounter([&model] { return model.refused; });
    connect(&view, &SpeciesTableView::addTaxonRequested, &view,
            [&] { addRowAndEditName(view, model, SpeciesTableView::taxonNameColumn); });
    showActive(view);

    view.selectRowAndEdit(1, SpeciesTableView::abundanceColumn);
    typeAndPress(typed, static_cast<Qt::Key>(key));

    QCOMPARE(editedCell(view), next);
    QCOMPARE(model.rowCount(), rowsAfter);
    if (next == Cell{1, 2}) {
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor != nullptr);
        QCOMPARE(editor->text(), typed);
    }
}

QTEST_MAIN(TabFlowTest)
#include "TabFlowTest.moc"
