#pragma once

#include <QString>
#include <QStringList>

// Which applications open links of a URL scheme, and which one of them is the default.
// Applications are named by an id (on Linux, the desktop file id such as "org.vantrel.Vantrel.desktop").
class UrlSchemeHandlers {
public:
    virtual ~UrlSchemeHandlers() = default;

    // Every application registered for the scheme, each once; empty when there is none.
    virtual QStringList allHandlers(const QString &scheme) const = 0;
    // The default application for the scheme; empty when there is none.
    virtual QString defaultHandler(const QString &scheme) const = 0;
    // Makes the application the scheme's default; false, with the reason in `error`, when it could not.
    virtual bool setDefaultHandler(const QString &scheme, const QString &applicationId, QString *error) = 0;
    // The application's name for people; empty when it cannot be found.
    virtual QString displayName(const QString &applicationId) const = 0;
    // The file that describes the application (its desktop file); empty when it cannot be found.
    virtual QString applicationPath(const QString &applicationId) const = 0;
};
