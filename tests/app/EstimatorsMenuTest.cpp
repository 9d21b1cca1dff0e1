// "Richness Estimators…" in the Analysis menu: enabled once the document has
// a collection, it opens one estimators window per document window and
// brings it forward when chosen again.

#include "AppTestSupport.h"
#include "plot/RichnessEstimatorsWindow.h"

#include <QTableView>
#include <QtTest>

using namespace quorvella;
using quorvella::test::App;

class EstimatorsMenuTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTestSettings(); }
    void opensOneWindowPerDocument();
};

void EstimatorsMenuTest::opensOneWindowPerDocument()
{
    App app;
    DocumentWindow *window = app->newDocument();
    QAction *command = app.action(QStringLiteral("richnessEstimatorsClicked"));
    QVERIFY(command != nullptr);
    QVERIFY(!command->isEnabled());

    test::fill(window->document(), 2, 2);
    QVERIFY(command->isEnabled());
    command->trigger();
    auto *estimators = window->findChild<RichnessEstimatorsWindow *>();
    QVERIFY(estimators != nullptr && estimators->isVisible());
    QCOMPARE(estimators->collectionsTable().model()->rowCount(), 2);
    QVERIFY(estimators->windowTitle().startsWith(QStringLiteral("Richness Estimators")));

    command->trigger();
    QCOMPARE(window->findChildren<RichnessEstimatorsWindow *>().size(), 1);
}

QTEST_MAIN(EstimatorsMenuTest)
#include "EstimatorsMenuTest.moc"
