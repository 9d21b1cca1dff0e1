// The Help menu: the guide opens at a section, the About panel names the
// version, and the web, tutorial and feedback items exist only with an
// address and open exactly it.

#include "AppTestSupport.h"
#include "app/AboutDialog.h"
#include "app/HelpWindow.h"

#include <QTextBrowser>
#include <QtTest>

using namespace quorvella;
using quorvella::test::App;

Q_DECLARE_METATYPE(quorvella::HelpLinks)

class HelpTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { test::useTestSettings(); }

    void aboutNamesTheVersion();
    void helpOpensAtTheSection_data();
    void helpOpensAtTheSection();
    void linkItems_data();
    void linkItems();
    void feedbackMailAddress_data();
    void feedbackMailAddress();
};

void HelpTest::aboutNamesTheVersion()
{
    App app;
    app.action(QStringLiteral("about"))->trigger();
    AboutDialog *about = app->aboutPanel();
    QVERIFY(about != nullptr);
    QVERIFY(about->isVisible());
    QCOMPARE(about->versionText(), QStringLiteral("Version " QUORVELLA_VERSION));
    // Shown again, it is the same panel.
    app.action(QStringLiteral("about"))->trigger();
    QCOMPARE(app->aboutPanel(), about);
}

void HelpTest::helpOpensAtTheSection_data()
{
    QTest::addColumn<QString>("anchor");
    QTest::newRow("contents") << QString();
    QTest::newRow("importing, from the import alert") << QStringLiteral("importing");
    QTest::newRow("measures") << QStringLiteral("measures");
}

void HelpTest::helpOpensAtTheSection()
{
    QFETCH(QString, anchor);
    App app;
    app->showHelp(anchor);
    HelpWindow *help = app->helpWindow();
    QVERIFY(help != nullptr && help->isVisible());
    QCOMPARE(help->browser()->source().fragment(), anchor);
    QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("Quorvella User Guide")));
}

void HelpTest::linkItems_data()
{
    QTest::addColumn<QString>("actionName");
    QTest::addColumn<HelpLinks>("links");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<QString>("opened");

    const HelpLinks none;
    const HelpLinks all{QStringLiteral("https://quorvella.example.org/"),
                        QStringLiteral("https://quorvella.example.org/tutorial"),
                        QStringLiteral("help@quorvella.example.org")};
    QTest::newRow("web site") << QStringLiteral("webSite") << all << true
                              << QStringLiteral("https://quorvella.example.org/");
    QTest::newRow("tutorial") << QStringLiteral("tutorial") << all << true
                              << QStringLiteral("https://quorvella.example.org/tutorial");
    QTest::newRow("feedback") << QStringLiteral("sendFeedback") << all << true
                              << QStringLiteral("mailto:help@quorvella.example.org"
                                                "?SUBJECT=Quorvella%20support&BODY=");
    QTest::newRow("no web site") << QStringLiteral("webSite") << none << false << QString();
    QTest::newRow("no tutorial") << QStringLiteral("tutorial") << none << false << QString();
    QTest::newRow("no address") << QStringLiteral("sendFeedback") << none << false << QString();
    QTest::newRow("blank address") << QStringLiteral("sendFeedback")
                                   << HelpLinks{{}, {}, QStringLiteral("  ")} << false << QString();
}

void HelpTest::linkItems()
{
    QFETCH(QString, actionName);
    QFETCH(HelpLinks, links);
    QFETCH(bool, visible);
    QFETCH(QString, opened);

    App app(links);
    QAction *item = app.action(actionName);
    QVERIFY(item != nullptr);
    QCOMPARE(item->isVisible(), visible);
    item->trigger();
    const QStringList urls = [&] {
        QStringList texts;
        for (const QUrl &url : app.openedUrls)
            texts.append(QString::fromLatin1(url.toEncoded()));
        return texts;
    }();
    QCOMPARE(urls, opened.isEmpty() ? QStringList{} : QStringList{opened});
}

void HelpTest::feedbackMailAddress_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("url");
    QTest::newRow("plain") << QStringLiteral("a@b.org")
                           << QStringLiteral("mailto:a@b.org?SUBJECT=Quorvella%20support&BODY=");
    // Characters that would end the address or start the query are escaped.
    QTest::newRow("query characters")
        << QStringLiteral("a&b?c@d.org")
        << QStringLiteral("mailto:a%26b%3Fc@d.org?SUBJECT=Quorvella%20support&BODY=");
    QTest::newRow("surrounding blanks")
        << QStringLiteral(" a@b.org ")
        << QStringLiteral("mailto:a@b.org?SUBJECT=Quorvella%20support&BODY=");
}

void HelpTest::feedbackMailAddress()
{
    QFETCH(QString, address);
    QFETCH(QString, url);
    const HelpLinks links{{}, {}, address};
    QCOMPARE(QString::fromLatin1(links.feedbackMailUrl().toEncoded()), url);
}

QTEST_MAIN(HelpTest)
#include "HelpTest.moc"
