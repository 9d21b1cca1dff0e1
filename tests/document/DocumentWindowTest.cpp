#include <QTest>
class DocumentWindowTest : public QObject
{
    Q_OBJECT
};
QTEST_MAIN(DocumentWindowTest)
#include "DocumentWindowTest.moc"
