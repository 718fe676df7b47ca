#pragma once

#include "services/reader/googlereaderservice.h"

#include <QString>
#include <QVariantMap>

// One authenticated edit of the reader service: logs in, fetches an edit token and posts the form.
// Each run costs a login, a token request and the edit. Runs synchronously on the calling thread.
class GReaderRequest {
public:
    GReaderRequest(const GoogleReaderService &service, const QString &path);

    QString user() const { return m_user; }
    void setUser(const QString &user) { m_user = user; }
    QString password() const { return m_password; }
    void setPassword(const QString &password) { m_password = password; }
    QString path() const { return m_path; }

    // Posts the fields plus the token "T" to the service root followed by path(); true exactly when the
    // service answers "OK" (surrounding white space allowed). A failed login is false too.
    bool execWithPostDicitionary(const QVariantMap &fields) const;

private:
    GoogleReaderService m_service;
    QString m_user;
    QString m_password;
    QString m_path;
};
