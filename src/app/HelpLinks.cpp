#include "app/HelpLinks.h"

namespace quorvella {

HelpLinks HelpLinks::fromBuild()
{
    return {QStringLiteral(QUORVELLA_WEBSITE_URL), QStringLiteral(QUORVELLA_TUTORIAL_URL),
            QStringLiteral(QUORVELLA_SUPPORT_EMAIL)};
}

QUrl HelpLinks::feedbackMailUrl() const
{
    if (supportEmail.trimmed().isEmpty())
        return {};
    // '@' stays readable in the address; everything outside the unreserved
    // characters is escaped, so a subject with spaces or '&' cannot break
    // the query.
    const QByteArray address = QUrl::toPercentEncoding(supportEmail.trimmed(), "@");
    const QByteArray subject = QUrl::toPercentEncoding(QStringLiteral("Quorvella support"));
    const QByteArray body = QUrl::toPercentEncoding(QString());
    return QUrl::fromEncoded("mailto:" + address + "?SUBJECT=" + subject + "&BODY=" + body,
                             QUrl::StrictMode);
}

QString applicationVersion()
{
    return QStringLiteral(QUORVELLA_VERSION);
}

} // namespace quorvella
