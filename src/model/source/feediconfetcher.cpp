#include "model/source/feediconfetcher.h"

#include <QRegularExpression>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

// An IPv6 address, or an IPv4 address whose labels are all numbers.
bool isNumericHost(const QString &host)
{
    if (host.contains(u':'))
        return true;
    static const QRegularExpression ipv4(u"^[0-9]+(\\.[0-9]+)*$"_s);
    return ipv4.match(host).hasMatch();
}

QUrl faviconOf(const QUrl &feedUrl, const QString &host)
{
    QUrl icon;
    icon.setScheme(feedUrl.scheme());
    icon.setHost(host);
    icon.setPort(feedUrl.port());
    icon.setPath(u"/favicon.ico"_s);
    return icon;
}

} // namespace

std::optional<QImage> FeedIconFetcher::favicon(const QUrl &feedUrl) const
{
    const QByteArray bytes = dataFromURL(faviconOf(feedUrl, feedUrl.host()));
    if (bytes.isEmpty())
        return std::nullopt;
    return QImage::fromData(bytes);
}

std::optional<QImage> FeedIconFetcher::iconOfLastTwoLabels(const QUrl &feedUrl) const
{
    const QStringList labels = feedUrl.host().split(u'.');
    if (labels.size() < 2 || isNumericHost(feedUrl.host()))
        return std::nullopt;
    const QUrl icon = faviconOf(feedUrl, labels.at(labels.size() - 2) + u'.' + labels.last());
    if (!icon.isValid())
        return std::nullopt;
    return QImage::fromData(dataFromURL(icon));
}

QImage FeedIconFetcher::image(const QUrl &address) const
{
    return QImage::fromData(dataFromURL(address));
}

QByteArray FeedIconFetcher::dataFromURL(const QUrl &address) const
{
    QByteArray body;
    FeedFetcher fetcher(m_options);
    return fetcher.fetch(address, body).ok() ? body : QByteArray();
}
