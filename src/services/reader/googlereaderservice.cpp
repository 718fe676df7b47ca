#include "services/reader/googlereaderservice.h"

#include "platform/clock.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "support/http/asiformdatarequest.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

const QString GoogleReaderService::userAgent =
    u"Mozilla/5.0 (Macintosh; U; Intel Mac OS X 10_6_4; en-us) AppleWebKit/533.19.4 (KHTML, like Gecko) "
    u"Version/5.0.3 Safari/533.19.4"_s;

namespace {
constexpr qint64 sessionCookieLifetimeSeconds = 604800;
} // namespace

GoogleReaderService::GoogleReaderService(const QUrl &baseAddress, const Clock &clock)
    : m_base(baseAddress.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo)),
      m_clock(clock)
{
    if (!m_base.path().endsWith(u'/'))
        m_base.setPath(m_base.path() + u'/');
}

QUrl GoogleReaderService::configuredBaseAddress(const UserDefaults &defaults)
{
    return QUrl(defaults.stringForKey(SettingsKey::googleReaderURL));
}

QUrl GoogleReaderService::addressWithPath(const QString &pathAndQuery) const
{
    return QUrl(m_base.toString(QUrl::FullyEncoded) + pathAndQuery);
}

QUrl GoogleReaderService::loginURL() const
{
    return addressWithPath(u"accounts/ClientLogin"_s);
}

QUrl GoogleReaderService::subscriptionListURL() const
{
    const qint64 milliseconds = m_clock.now().toMSecsSinceEpoch();
    return addressWithPath(
        u"reader/api/0/subscription/list?output=json&client=scroll&ck=%1"_s.arg(milliseconds));
}

QUrl GoogleReaderService::tokenURL() const
{
    return addressWithPath(u"reader/api/0/token"_s);
}

QUrl GoogleReaderService::apiURL(const QString &relativePath) const
{
    QString path = relativePath;
    while (path.startsWith(u'/'))
        path.remove(0, 1);
    return addressWithPath(path);
}

QUrl GoogleReaderService::homeURL() const
{
    return m_base;
}

QString GoogleReaderService::cookieDomain() const
{
    const QString host = m_base.host().toLower();
    static const QRegularExpression address(u"^[0-9.]+$|:"_s);
    if (address.match(host).hasMatch())
        return host;
    const qsizetype dot = host.indexOf(u'.');
    if (dot < 0 || host.count(u'.') < 2)
        return host;
    return host.mid(dot + 1);
}

GoogleReaderService::Login GoogleReaderService::clientLogin(const QString &account,
                                                            const QString &password) const
{
    auto request = ASIFormDataRequest::requestWithURL(loginURL());
    request->setUseCookiePersistence(false);
    request->addRequestHeader(u"User-Agent"_s, userAgent);
    request->setPostValue(u"reader"_s, u"service"_s);
    request->setPostValue(u"scroll"_s, u"source"_s);
    request->setPostValue(homeURL().toString(), u"continue"_s);
    request->setPostValue(account, u"Email"_s);
    request->setPostValue(password, u"Passwd"_s);
    request->startSynchronous();
    if (request->error()) {
        Login login;
        login.transportError = request->error();
        return login;
    }
    return parseLoginAnswer(request->responseString().value_or(QString()));
}

GoogleReaderService::Login GoogleReaderService::parseLoginAnswer(const QString &answer)
{
    static const QRegularExpression lineEnds(u"[\\x{000A}-\\x{000D}\\x{0085}\\x{2028}\\x{2029}]"_s);
    Login login;
    for (const QString &line : answer.split(lineEnds)) {
        const QStringList parts = line.split(u'=');
        if (parts.size() != 2)
            continue;
        const QString &name = parts.at(0);
        if (name.compare(u"SID"_s, Qt::CaseInsensitive) == 0) {
            login.sid = parts.at(1);
        } else if (name.compare(u"Auth"_s, Qt::CaseInsensitive) == 0) {
            login.auth = parts.at(1);
        } else if (name.compare(u"Error"_s, Qt::CaseInsensitive) == 0) {
            login.errorText = parts.at(1);
            login.hasError = true;
        }
    }
    return login;
}

HTTPCookie GoogleReaderService::sessionCookie(const QString &sid) const
{
    HTTPCookie cookie(u"SID"_s, sid);
    cookie.domain = cookieDomain();
    cookie.hostOnly = false;
    cookie.path = u"/"_s;
    cookie.expiresDate = m_clock.now().addSecs(sessionCookieLifetimeSeconds);
    return cookie;
}

void GoogleReaderService::authenticate(ASIHTTPRequest &request, const Login &login) const
{
    request.setUseCookiePersistence(false);
    request.addRequestHeader(u"User-Agent"_s, userAgent);
    request.addRequestHeader(u"Authorization"_s, u"GoogleLogin auth=%1"_s.arg(login.auth));
    request.requestCookies().append(sessionCookie(login.sid));
}
