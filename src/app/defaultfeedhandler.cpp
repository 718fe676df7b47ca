#include "app/defaultfeedhandler.h"

#include "platform/desktop/applicationdesktopfile.h"
#include "platform/desktop/urlschemehandlers.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <algorithm>

DefaultFeedHandler::DefaultFeedHandler(UrlSchemeHandlers &handlers, const QString &applicationId,
                                       const QString &executable)
    : m_handlers(handlers), m_applicationId(applicationId), m_executable(executable)
{
}

DefaultFeedHandler::Decision DefaultFeedHandler::decide(const UserDefaults &defaults) const
{
    if (!defaults.boolForKey(SettingsKey::checkHandlerOnStartup))
        return Decision::Claim;
    const QStringList all = m_handlers.allHandlers(scheme);
    const bool onlyVantrel =
        std::all_of(all.begin(), all.end(), [this](const QString &id) { return id == m_applicationId; });
    if (onlyVantrel)
        return Decision::Claim;
    const QString current = m_handlers.defaultHandler(scheme);
    if (current.isEmpty())
        return Decision::Claim;
    return current == m_applicationId ? Decision::Nothing : Decision::Ask;
}

bool DefaultFeedHandler::claim(QString *error)
{
    if (m_handlers.applicationPath(m_applicationId).isEmpty() &&
        m_applicationId == ApplicationDesktopFile::id() &&
        !ApplicationDesktopFile::install(m_executable, error))
        return false;
    return m_handlers.setDefaultHandler(scheme, m_applicationId, error);
}

QString DefaultFeedHandler::currentDefaultName() const
{
    const QString current = m_handlers.defaultHandler(scheme);
    if (current.isEmpty())
        return {};
    const QString name = m_handlers.displayName(current);
    return name.isEmpty() ? current : name;
}
