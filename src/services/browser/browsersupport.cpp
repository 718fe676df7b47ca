#include "services/browser/browsersupport.h"

#include "platform/desktop/canberrasoundplayer.h"
#include "platform/desktop/urlschemehandlers.h"
#include "platform/desktop/xdgurlschemehandlers.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "services/browser/linkpolicy.h"

#include <QDesktopServices>

using namespace Qt::StringLiterals;

BrowserSupport::BrowserSupport(UserDefaults &defaults, UrlSchemeHandlers &handlers, SoundPlayer &beeper)
    : m_defaults(defaults), m_handlers(handlers), m_beeper(beeper)
{
}

BrowserSupport &BrowserSupport::sharedInstance()
{
    static XdgUrlSchemeHandlers handlers;
    static BrowserSupport instance(UserDefaults::standardUserDefaults(), handlers,
                                   CanberraSoundPlayer::sharedInstance());
    return instance;
}

void BrowserSupport::openInBrowser(const QString &link) const
{
    const QUrl url(link, QUrl::StrictMode);
    if (link.isEmpty() || !url.isValid() || url.isRelative()) {
        qWarning("Not opening \"%s\": it is not a URL", qPrintable(link.left(200)));
        m_beeper.beep();
        return;
    }
    if (m_defaults.boolForKey(SettingsKey::openInActiveTab))
        openInActiveTab(url);
    else
        openWithWorkspace(url);
}

BrowserSupport::Browser BrowserSupport::currentBrowser() const
{
    const QString id = m_handlers.defaultHandler(u"http"_s);
    if (id.isEmpty())
        return Browser::Other;
    const QString path = m_handlers.applicationPath(id);
    const QString application = path.isEmpty() ? id : path;
    if (application.contains(u"safari"_s, Qt::CaseInsensitive))
        return Browser::Safari;
    if (application.contains(u"chrome"_s, Qt::CaseInsensitive))
        return Browser::Chrome;
    return Browser::Other;
}

bool BrowserSupport::openWithWorkspace(const QUrl &url) const
{
    if (!LinkPolicy::isOpenable(url)) {
        qWarning("Refused to open a %s: link; only http, https and mailto links are opened",
                 qPrintable(url.scheme().left(40)));
        m_beeper.beep();
        return false;
    }
    if (!QDesktopServices::openUrl(LinkPolicy::withoutUnsafeFields(url))) {
        qWarning("The desktop could not open %s", qPrintable(url.toString(QUrl::FullyEncoded).left(200)));
        return false;
    }
    return true;
}

void BrowserSupport::openInActiveTab(const QUrl &url) const
{
    // Which browser it is changes nothing: none of them can be driven from outside here.
    if (currentBrowser() != Browser::Other)
        qInfo("The browser's active tab cannot be reached; opening the link through the default handler");
    openWithWorkspace(url);
}
