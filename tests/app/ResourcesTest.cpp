// Every compiled-in resource is reachable from an executable that links the
// resource library, the icons are the images the toolbar expects, the user
// guide's links all lead somewhere, and the desktop files agree with each
// other.

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

QSet<QString> anchorNames(const QTextDocument &document)
{
    QSet<QString> names;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            for (const QString &name : it.fragment().charFormat().anchorNames())
                names.insert(name);
        }
    }
    return names;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString sourceFile(const QString &relative)
{
    return QStringLiteral(QUORVELLA_SOURCE_DIR "/") + relative;
}

} // namespace

class ResourcesTest : public QObject
{
    Q_OBJECT
private slots:
    void everyResourceOpens();
    void iconIsImage_data();
    void iconIsImage();
    void guideHasAnchor_data();
    void guideHasAnchor();
    void guideLinksLeadToAnchors();
    void desktopEntryOpensDocumentType();
};

void ResourcesTest::everyResourceOpens()
{
    int count = 0;
    for (const char *root : {":/icons", ":/help"}) {
        QDirIterator it(QString::fromLatin1(root), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QVERIFY2(!readAll(path).isEmpty(), qPrintable(path));
            ++count;
        }
    }
    // Nine toolbar icons, Print and Compare Diversity, the application icon
    // twice, the guide.
    QCOMPARE(count, 14);
}

void ResourcesTest::iconIsImage_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("size");
    for (const char *name : {"addCollection", "deleteCollection", "taxonList", "addTaxon",
                             "deleteTaxon", "calculateMetrics", "individualRarefaction", "chao2",
                             "sampleRarefaction", "print", "compareDiversity"}) {
        QTest::newRow(name) << QStringLiteral(":/icons/%1.png").arg(QLatin1String(name)) << 64;
    }
    QTest::newRow("application") << QStringLiteral(":/icons/quorvella.png") << 256;
    QTest::newRow("application, scalable") << QStringLiteral(":/icons/quorvella.svg") << 256;
}

void ResourcesTest::iconIsImage()
{
    QFETCH(QString, path);
    QFETCH(int, size);
    if (path.endsWith(QLatin1String(".svg"))) {
        QXmlStreamReader xml(readAll(path));
        QVERIFY(xml.readNextStartElement());
        QCOMPARE(xml.name(), QLatin1String("svg"));
        QCOMPARE(xml.attributes().value(QLatin1String("width")).toInt(), size);
        return;
    }
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), QSize(size, size));
    QVERIFY(image.hasAlphaChannel());
}

void ResourcesTest::guideHasAnchor_data()
{
    QTest::addColumn<QString>("anchor");
    // "importing" is the section the import alert's Help button opens.
    for (const char *anchor : {"importing", "entering", "measures", "rarefaction", "chao2",
                               "exporting", "preferences", "documents", "example"})
        QTest::newRow(anchor) << QString::fromLatin1(anchor);
}

void ResourcesTest::guideHasAnchor()
{
    QFETCH(QString, anchor);
    QTextDocument guide;
    guide.setHtml(QString::fromUtf8(readAll(QStringLiteral(":/help/index.html"))));
    QVERIFY2(anchorNames(guide).contains(anchor), qPrintable(anchor));
}

void ResourcesTest::guideLinksLeadToAnchors()
{
    QTextDocument guide;
    guide.setHtml(QString::fromUtf8(readAll(QStringLiteral(":/help/index.html"))));
    const QSet<QString> names = anchorNames(guide);
    int links = 0;
    for (QTextBlock block = guide.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QString href = it.fragment().charFormat().anchorHref();
            if (!href.startsWith(QLatin1Char('#')))
                continue;
            QVERIFY2(names.contains(href.mid(1)), qPrintable(href));
            ++links;
        }
    }
    QVERIFY(links >= 9);
}

void ResourcesTest::desktopEntryOpensDocumentType()
{
    const QString desktop =
        QString::fromUtf8(readAll(sourceFile(QStringLiteral("resources/linux/quorvella.desktop"))));
    QVERIFY(desktop.startsWith(QLatin1String("[Desktop Entry]\n")));
    const auto value = [&](const char *key) {
        const QRegularExpression line(QStringLiteral("^%1=(.*)$").arg(QLatin1String(key)),
                                      QRegularExpression::MultilineOption);
        return line.match(desktop).captured(1);
    };
    QCOMPARE(value("Exec"), QStringLiteral("quorvella %F"));
    QCOMPARE(value("Icon"), QStringLiteral("quorvella"));
    QCOMPARE(value("MimeType"), QStringLiteral("application/x-quorvella;"));

    QXmlStreamReader mime(
        readAll(sourceFile(QStringLiteral("resources/linux/quorvella-mime.xml"))));
    QString type, glob;
    while (!mime.atEnd()) {
        if (mime.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (mime.name() == QLatin1String("mime-type"))
            type = mime.attributes().value(QLatin1String("type")).toString();
        else if (mime.name() == QLatin1String("glob"))
            glob = mime.attributes().value(QLatin1String("pattern")).toString();
    }
    QVERIFY2(!mime.hasError(), qPrintable(mime.errorString()));
    QCOMPARE(type, QStringLiteral("application/x-quorvella"));
    QCOMPARE(glob, QStringLiteral("*.qvl"));
}

QTEST_MAIN(ResourcesTest)
#include "ResourcesTest.moc"
