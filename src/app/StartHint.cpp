#include "app/StartHint.h"

#include "document/CensusTableModel.h"
#include "document/DocumentWindow.h"
#include "document/MyDocument.h"
#include "document/Ui.h"
#include "store/DocumentFile.h"

#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTableView>

namespace quorvella {

namespace {

constexpr int kMargin = 12;

} // namespace

StartHint *StartHint::attach(DocumentWindow &window, const QString &examplePath)
{
    return new StartHint(window, examplePath);
}

StartHint::StartHint(DocumentWindow &window, const QString &examplePath)
    : QObject(&window), m_window(window), m_examplePath(examplePath)
{
    setObjectName(QStringLiteral("startHint"));
    QWidget *viewport = window.censusTable()->viewport();
    m_label = new QLabel(viewport);
    m_label->setObjectName(QStringLiteral("startHintLabel"));
    m_label->setWordWrap(true);
    m_label->setTextFormat(Qt::RichText);
    m_label->setForegroundRole(QPalette::PlaceholderText);
    QString text = tr("Add a collection, or import a file: File &gt; Import");
    if (!examplePath.isEmpty())
        text += QStringLiteral("<br><a href=\"example\">") + tr("Open the example data") +
                QStringLiteral("</a>");
    m_label->setText(text);
    connect(m_label, &QLabel::linkActivated, this, [this] { loadExample(); });
    viewport->installEventFilter(this);

    MyDocument &document = window.document();
    connect(&document, &MyDocument::commandStateChanged, this, &StartHint::update);
    connect(&document, &MyDocument::fileNameChanged, this, &StartHint::update);
    place();
    update();
}

bool StartHint::loadExample()
{
    MyDocument &document = m_window.document();
    if (!document.isEmpty() || !document.fileName().isEmpty())
        return false;
    Store loaded;
    try {
        loaded = DocumentFile::load(QFile::encodeName(m_examplePath).toStdString());
    } catch (const std::exception &error) {
        document.ui().showErrorAlert(tr("The example data could not be opened."),
                                     QString::fromStdString(error.what()));
        return false;
    }
    // The records only: the document stays untitled, so the installed
    // example is never written to; closing asks whether to save a copy.
    document.store().replaceAllRecords(std::move(loaded));
    document.undoStack().clear();
    if (document.censusModel().rowCount() > 0)
        document.selectCollection(document.censusModel().censusAt(0));
    document.setStatusText(tr("Example data from %1").arg(QFileInfo(m_examplePath).fileName()));
    return true;
}

bool StartHint::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize)
        place();
    return QObject::eventFilter(watched, event);
}

void StartHint::update()
{
    const MyDocument &document = m_window.document();
    if (m_label)
        m_label->setVisible(document.isEmpty() && document.fileName().isEmpty());
}

void StartHint::place()
{
    if (!m_label)
        return;
    const QWidget *viewport = m_label->parentWidget();
    const int width = std::max(0, viewport->width() - 2 * kMargin);
    m_label->setGeometry(kMargin, kMargin, width, m_label->heightForWidth(width));
}

} // namespace quorvella
