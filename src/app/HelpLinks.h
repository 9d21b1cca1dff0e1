#pragma once

// The addresses behind the Help menu's web-site, tutorial and feedback
// items. They are the deployer's to choose, at configure time
// (QUORVELLA_WEBSITE_URL, QUORVELLA_TUTORIAL_URL, QUORVELLA_SUPPORT_EMAIL);
// an item whose address is empty is not shown.

#include <QString>
#include <QUrl>

namespace quorvella {

struct HelpLinks
{
    QString webSite;
    QString tutorial;
    QString supportEmail;

    // The addresses the program was built with.
    static HelpLinks fromBuild();

    // "mailto:<address>?SUBJECT=Quorvella%20support&BODY=": the address,
    // the subject and the (empty) body each percent-escaped as ASCII.
    // An empty URL when there is no support address.
    QUrl feedbackMailUrl() const;
};

// The program's version, "0.1.0", from the project version.
QString applicationVersion();

} // namespace quorvella
