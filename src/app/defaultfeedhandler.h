#pragma once

#include <QString>

class UrlSchemeHandlers;
class UserDefaults;

// Whether Vantrel opens feed: links, and claiming that role. Vantrel is named by its desktop
// file id; a build run without an installed desktop file installs one for the user before it
// claims, so that the claim leads somewhere.
class DefaultFeedHandler {
public:
    enum class Decision {
        Claim,   // make Vantrel the default without asking
        Nothing, // Vantrel is the default already
        Ask,     // another program is the default: the user decides
    };

    DefaultFeedHandler(UrlSchemeHandlers &handlers, const QString &applicationId, const QString &executable);

    // With "CheckHandlerOnStartup" off, Vantrel claims the scheme at every start without asking.
    Decision decide(const UserDefaults &defaults) const;
    // Makes Vantrel the default handler of feed: links; false, with the reason in `error`.
    bool claim(QString *error);
    // The people's name of the program that is the default now; empty when there is none.
    QString currentDefaultName() const;

    static inline const QString scheme = QStringLiteral("feed");

private:
    UrlSchemeHandlers &m_handlers;
    QString m_applicationId;
    QString m_executable;
};
