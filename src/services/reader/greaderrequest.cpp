#include "services/reader/greaderrequest.h"

#include "support/http/asiformdatarequest.h"

#include <QDebug>

using namespace Qt::StringLiterals;

GReaderRequest::GReaderRequest(const GoogleReaderService &service, const QString &path)
    : m_service(service), m_path(path)
{
}

bool GReaderRequest::execWithPostDicitionary(const QVariantMap &fields) const
{
    const GoogleReaderService::Login login = m_service.clientLogin(m_user, m_password);
    if (!login.succeeded()) {
        qWarning() << "Reader service login failed:"
                   << (login.transportError ? login.transportError->localizedDescription : login.errorText);
        return false;
    }

    auto tokenRequest = ASIHTTPRequest::requestWithURL(m_service.tokenURL());
    m_service.authenticate(*tokenRequest, login);
    tokenRequest->startSynchronous();
    if (tokenRequest->error()) {
        qWarning() << "Reader service token request failed:" << tokenRequest->error()->localizedDescription;
        return false;
    }
    const QString token = tokenRequest->responseString().value_or(QString());

    auto edit = ASIFormDataRequest::requestWithURL(m_service.apiURL(m_path));
    m_service.authenticate(*edit, login);
    for (auto field = fields.cbegin(); field != fields.cend(); ++field)
        edit->setPostValue(field.value(), field.key());
    edit->setPostValue(token, u"T"_s);
    edit->startSynchronous();
    if (edit->error()) {
        qWarning() << "Reader service edit failed:" << edit->error()->localizedDescription;
        return false;
    }
    return edit->responseString().value_or(QString()).trimmed() == u"OK"_s;
}
