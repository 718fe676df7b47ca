#include "services/reader/greadersyncoperation.h"

#include "model/parse/feedstrings.h"
#include "model/source/rssdatasource.h"
#include "platform/clock.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "services/reader/greaderrequest.h"

using namespace Qt::StringLiterals;

const QString GReaderSyncOperation::editPath = u"reader/api/0/subscription/edit?client=vantrel"_s;

GReaderSyncOperation::GReaderSyncOperation(const GoogleReaderService &service, UserDefaults &defaults,
                                           const Clock &clock)
    : m_service(service), m_defaults(defaults), m_clock(clock)
{
}

QString GReaderSyncOperation::user() const
{
    std::lock_guard guard(m_mutex);
    return m_user;
}

void GReaderSyncOperation::setUser(const QString &user)
{
    std::lock_guard guard(m_mutex);
    m_user = user;
}

QString GReaderSyncOperation::password() const
{
    std::lock_guard guard(m_mutex);
    return m_password;
}

void GReaderSyncOperation::setPassword(const QString &password)
{
    std::lock_guard guard(m_mutex);
    m_password = password;
}

QList<std::shared_ptr<RSSDatasource>> GReaderSyncOperation::addList() const
{
    std::lock_guard guard(m_mutex);
    return m_addList;
}

void GReaderSyncOperation::setAddList(const QList<std::shared_ptr<RSSDatasource>> &addList)
{
    std::lock_guard guard(m_mutex);
    m_addList = addList;
}

QList<BSGoogleReaderSubscription> GReaderSyncOperation::removeList() const
{
    std::lock_guard guard(m_mutex);
    return m_removeList;
}

void GReaderSyncOperation::setRemoveList(const QList<BSGoogleReaderSubscription> &removeList)
{
    std::lock_guard guard(m_mutex);
    m_removeList = removeList;
}

bool GReaderSyncOperation::edit(const QVariantMap &fields) const
{
    GReaderRequest request(m_service, editPath);
    request.setUser(user());
    request.setPassword(password());
    return request.execWithPostDicitionary(fields);
}

void GReaderSyncOperation::main()
{
    for (const std::shared_ptr<RSSDatasource> &source : addList()) {
        QVariantMap fields{
            {u"s"_s, u"feed/%1"_s.arg(FeedStrings::feedURL(source->url()).toString())},
            {u"ac"_s, u"subscribe"_s},
        };
        const QString title = source->customName().isEmpty() ? source->name() : source->customName();
        if (!title.isEmpty())
            fields.insert(u"t"_s, title);
        if (!edit(fields))
            return;
    }
    for (const BSGoogleReaderSubscription &entry : removeList()) {
        const QVariantMap fields{
            {u"s"_s, u"feed/%1"_s.arg(entry.feedURL.toString())},
            {u"ac"_s, u"unsubscribe"_s},
        };
        if (!edit(fields))
            return;
    }
    m_defaults.setObject(m_clock.now(), SettingsKey::lastGoogleSync);
}
