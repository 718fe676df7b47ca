#include "platform/desktop/xdgurlschemehandlers.h"

#include "platform/desktop/desktopapplications.h"
#include "platform/desktop/mimeapps.h"

QStringList XdgUrlSchemeHandlers::allHandlers(const QString &scheme) const
{
    return MimeApps::applications(MimeApps::schemeType(scheme), DesktopApplications());
}

QString XdgUrlSchemeHandlers::defaultHandler(const QString &scheme) const
{
    return MimeApps::defaultApplication(MimeApps::schemeType(scheme), DesktopApplications());
}

bool XdgUrlSchemeHandlers::setDefaultHandler(const QString &scheme, const QString &applicationId,
                                             QString *error)
{
    return MimeApps::setDefaultApplication(MimeApps::schemeType(scheme), applicationId, error);
}

QString XdgUrlSchemeHandlers::displayName(const QString &applicationId) const
{
    return DesktopApplications().displayName(applicationId);
}

QString XdgUrlSchemeHandlers::applicationPath(const QString &applicationId) const
{
    const DesktopApplications installed;
    const DesktopApplications::Application *application = installed.find(applicationId);
    return application ? application->path : QString();
}
