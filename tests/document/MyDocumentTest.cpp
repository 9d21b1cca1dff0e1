#include <QTest>
class MyDocumentTest : public QObject
{
    Q_OBJECT
};
QTEST_MAIN(MyDocumentTest)
#include "MyDocumentTest.moc"
