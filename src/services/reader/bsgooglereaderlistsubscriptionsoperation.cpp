#include "services/reader/bsgooglereaderlistsubscriptionsoperation.h"

#include "support/http/asihttprequest.h"
#include "support/json/cjsondeserializer.h"

#include <QCoreApplication>
#include <QHash>

using namespace Qt::StringLiterals;

namespace {
constexpr int loginErrorCode = 4100;
constexpr int unexpectedDataErrorCode = 4097;

QString tr(const char *text)
{
    return QCoreApplication::translate("BSGoogleReaderListSubscriptionsOperation", text);
}

// The kind of JSON value a QVariant from the JSON reader holds, as named in error texts.
QString jsonKindName(const QVariant &value)
{
    if (!value.isValid())
        return u"nothing"_s;
    switch (value.metaType().id()) {
    case QMetaType::QVariantMap:
        return u"dictionary"_s;
    case QMetaType::QVariantList:
        return u"array"_s;
    case QMetaType::QString:
        return u"string"_s;
    case QMetaType::Bool:
        return u"boolean"_s;
    case QMetaType::Nullptr:
        return u"null"_s;
    default:
        return u"number"_s;
    }
}

ServiceError loginError(const GoogleReaderService::Login &login)
{
    ServiceError error;
    error.domain = commonsErrorDomain();
    error.code = loginErrorCode;
    error.localizedDescription = tr("Could not log you in to Google.");
    if (login.hasError)
        error.failureReason = tr("Google returned error: \"%1\".").arg(login.errorText);
    error.recoverySuggestion = tr("Please re-check your Google ID and password.");
    return error;
}

ServiceError unexpectedDataError(const QString &failureReason)
{
    ServiceError error;
    error.domain = commonsErrorDomain();
    error.code = unexpectedDataErrorCode;
    error.localizedDescription = tr("Unknown data returned from Google Reader");
    error.failureReason = failureReason;
    error.recoverySuggestion = tr("Please retry at a later time.");
    return error;
}

std::optional<QUrl> feedURLOfID(const QString &itemID)
{
    static const QString feedPrefix = u"feed/"_s;
    const QString address = itemID.startsWith(feedPrefix) ? itemID.mid(feedPrefix.size()) : itemID;
    const QUrl url(address, QUrl::StrictMode);
    if (address.isEmpty() || !url.isValid())
        return std::nullopt;
    return url;
}
} // namespace

BSGoogleReaderListSubscriptionsOperation::BSGoogleReaderListSubscriptionsOperation(
    const GoogleReaderService &service, QObject *target, ListCallback callback, QThread *thread)
    : BSCallbackOperation(
          target,
          [callback = std::move(callback)](BSCallbackOperation &operation) {
              if (callback)
                  callback(static_cast<BSGoogleReaderListSubscriptionsOperation &>(operation));
          },
          thread),
      m_service(service)
{
}

void BSGoogleReaderListSubscriptionsOperation::performOperation()
{
    const GoogleReaderService::Login login = m_service.clientLogin(m_login, m_password);
    if (login.transportError)
        return fail(ServiceError::fromHTTPError(*login.transportError));
    if (!login.succeeded())
        return fail(loginError(login));

    auto request = ASIHTTPRequest::requestWithURL(m_service.subscriptionListURL());
    m_service.authenticate(*request, login);
    request->startSynchronous();
    if (request->error())
        return fail(ServiceError::fromHTTPError(*request->error()));

    JSONError jsonError;
    const std::optional<QVariantMap> root = CJSONDeserializer::deserializer().deserializeAsDictionary(
        request->responseData().value_or(QByteArray()), &jsonError);
    // A root that is no object fails the reader, which says where.
    if (!root)
        return fail(ServiceError::fromJSONError(jsonError));

    const QVariant subscriptions = root->value(u"subscriptions"_s);
    if (subscriptions.metaType().id() != QMetaType::QVariantList)
        return fail(unexpectedDataError(tr("Google Reader doesn't return an array for its \"subscriptions\" "
                                           "value but instead returned %1")
                                            .arg(jsonKindName(subscriptions))));
    const QVariantList list = subscriptions.toList();
    if (list.isEmpty())
        return;
    m_resultFeeds = subscriptionsFromList(list);
}

QList<BSGoogleReaderSubscription>
BSGoogleReaderListSubscriptionsOperation::subscriptionsFromList(const QVariantList &list)
{
    QHash<QString, std::shared_ptr<BSGoogleReaderCategory>> categoriesByID;
    QList<BSGoogleReaderSubscription> result;
    for (const QVariant &element : list) {
        const QVariantMap feed = element.toMap();
        const QVariant id = feed.value(u"id"_s);
        if (element.metaType().id() != QMetaType::QVariantMap || id.metaType().id() != QMetaType::QString)
            continue;
        const std::optional<QUrl> url = feedURLOfID(id.toString());
        if (!url)
            continue;
        BSGoogleReaderSubscription subscription;
        subscription.itemID = id.toString();
        subscription.feedURL = *url;
        subscription.title = feed.value(u"title"_s).toString();
        for (const QVariant &categoryElement : feed.value(u"categories"_s).toList()) {
            const QVariantMap category = categoryElement.toMap();
            const QVariant categoryID = category.value(u"id"_s);
            if (categoryElement.metaType().id() != QMetaType::QVariantMap ||
                categoryID.metaType().id() != QMetaType::QString)
                continue;
            std::shared_ptr<BSGoogleReaderCategory> &shared = categoriesByID[categoryID.toString()];
            if (!shared)
                shared = std::make_shared<BSGoogleReaderCategory>(
                    BSGoogleReaderCategory{categoryID.toString(), {}});
            const QString label = category.value(u"label"_s).toString();
            if (!label.isEmpty())
                shared->title = label;
            subscription.categories.append(shared);
        }
        result.append(std::move(subscription));
    }
    return result;
}
