#include "preview/previewimageloader.h"

#include "platform/network/feedfetcher.h"

#include <QBuffer>
#include <QImageReader>
#include <QLoggingCategory>

#include <atomic>
#include <cmath>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcPreviewImages, "vantrel.preview.images")

namespace {

constexpr int workerThreads = 4;
constexpr int maxRedirects = 5;

bool isDataUrl(const QUrl &url)
{
    return url.scheme().compare("data"_L1, Qt::CaseInsensitive) == 0;
}

// The bytes of a data: address, "data:[<type>][;base64],<data>".
std::optional<QByteArray> dataUrlBytes(const QUrl &url)
{
    const QByteArray text = url.toEncoded(QUrl::RemoveScheme);
    const qsizetype comma = text.indexOf(',');
    if (comma < 0)
        return std::nullopt;
    const QByteArray header = text.left(comma).toLower();
    const QByteArray payload = QByteArray::fromPercentEncoding(text.mid(comma + 1));
    if (!header.endsWith(";base64"))
        return payload;
    auto decoded = QByteArray::fromBase64Encoding(payload);
    if (!decoded)
        return std::nullopt;
    return *decoded;
}

bool isDecodedFormat(const QByteArray &format)
{
    static const QList<QByteArray> raster{"png", "jpeg", "jpg", "gif", "webp", "bmp"};
    return raster.contains(format.toLower());
}

QString decode(const QByteArray &bytes, qint64 maxPixels, int maxWidthPixels, QImage *image)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    if (!isDecodedFormat(reader.format()))
        return u"not a PNG, JPEG, GIF, WebP or BMP image"_s;
    const QSize size = reader.size();
    if (size.isEmpty())
        return u"the image has no size"_s;
    if (qint64(size.width()) * size.height() > maxPixels)
        return u"the image is too large (%1 × %2 pixels)"_s.arg(size.width()).arg(size.height());
    if (size.width() > maxWidthPixels) {
        const int height =
            std::max(1, int(std::lround(double(size.height()) * maxWidthPixels / size.width())));
        reader.setScaledSize(QSize(maxWidthPixels, height));
    }
    *image = reader.read();
    return image->isNull() ? reader.errorString() : QString();
}

} // namespace

// One fetch on a worker. A cancel that comes before the fetch has begun is kept here, since the
// fetcher forgets it; the body consumer stops the transfer at its next bytes.
struct PreviewImageLoader::Transfer {
    explicit Transfer(const FetchOptions &options) : fetcher(options) {}
    void cancel()
    {
        cancelled = true;
        fetcher.cancel();
    }

    FeedFetcher fetcher;
    std::atomic<bool> cancelled{false};
};

PreviewImageLoader::PreviewImageLoader(const Limits &limits, QObject *parent)
    : QObject(parent), m_limits(limits)
{
    m_workers.setMaxThreadCount(workerThreads);
}

PreviewImageLoader::~PreviewImageLoader()
{
    cancelTransfers();
    m_workers.waitForDone();
}

bool PreviewImageLoader::isLoadable(const QUrl &url)
{
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == "http"_L1 || scheme == "https"_L1)
        return !url.host().isEmpty();
    return scheme == "data"_L1;
}

QImage PreviewImageLoader::placeholder()
{
    QImage dot(1, 1, QImage::Format_ARGB32_Premultiplied);
    dot.fill(QColor(0, 0, 0, 24));
    return dot;
}

QImage PreviewImageLoader::blank()
{
    QImage dot(1, 1, QImage::Format_ARGB32_Premultiplied);
    dot.fill(Qt::transparent);
    return dot;
}

void PreviewImageLoader::startEntry(int maxWidth, qreal devicePixelRatio)
{
    reset();
    m_maxWidth = maxWidth;
    m_devicePixelRatio = devicePixelRatio;
}

void PreviewImageLoader::reset()
{
    cancelTransfers();
    ++m_generation;
    m_requested.clear();
    m_refused.clear();
    m_arrived.clear();
}

QImage PreviewImageLoader::image(const QUrl &url)
{
    if (const auto arrived = m_arrived.constFind(url); arrived != m_arrived.cend())
        return *arrived;
    if (m_refused.contains(url))
        return blank();
    if (m_requested.contains(url))
        return placeholder();
    if (!isLoadable(url))
        return refuse(url, "only http, https and data: images are shown");
    if (isDataUrl(url) && url.toEncoded().size() > m_limits.maxDataUrlLength)
        return refuse(url, "the embedded image is too large");
    if (m_requested.size() >= m_limits.maxImages)
        return refuse(url, "the entry has too many images");
    m_requested.insert(url);
    start(url);
    return placeholder();
}

QImage PreviewImageLoader::refuse(const QUrl &url, const char *reason)
{
    qCInfo(lcPreviewImages, "Not loading the image %s: %s", qPrintable(url.toString().left(120)), reason);
    m_refused.insert(url);
    return blank();
}

void PreviewImageLoader::start(const QUrl &url)
{
    FetchOptions options;
    options.idleTimeout = m_limits.deadline;
    options.deadline = m_limits.deadline;
    options.maxBytes = m_limits.maxBytes;
    options.maxRedirects = maxRedirects;
    auto transfer = std::make_shared<Transfer>(options);
    {
        std::lock_guard guard(m_transfersMutex);
        m_transfers.insert(transfer);
    }
    const quint64 generation = m_generation;
    const int maxWidthPixels = m_maxWidth > 0 ? std::max(1, int(std::floor(m_maxWidth * m_devicePixelRatio)))
                                              : std::numeric_limits<int>::max();
    const qreal ratio = m_devicePixelRatio;
    m_workers.start([this, transfer, url, generation, maxWidthPixels, ratio, limits = m_limits] {
        Result result = load(*transfer, url, limits, maxWidthPixels);
        result.image.setDevicePixelRatio(ratio);
        {
            std::lock_guard guard(m_transfersMutex);
            m_transfers.erase(transfer);
        }
        m_ownThread.post([this, generation, url, result] { finish(generation, url, result); });
    });
}

PreviewImageLoader::Result PreviewImageLoader::load(Transfer &transfer, const QUrl &url, const Limits &limits,
                                                    int maxWidthPixels)
{
    Result result;
    QByteArray bytes;
    if (transfer.cancelled) {
        result.error = u"Cancelled"_s;
        return result;
    }
    if (isDataUrl(url)) {
        const std::optional<QByteArray> data = dataUrlBytes(url);
        if (!data) {
            result.error = u"the embedded image is damaged"_s;
            return result;
        }
        bytes = *data;
    } else {
        const FetchResult fetched =
            transfer.fetcher.fetch(url, [&transfer, &bytes](const FetchResponse &, QByteArrayView chunk) {
                bytes.append(chunk.data(), chunk.size());
                return !transfer.cancelled;
            });
        if (!fetched.ok()) {
            result.error = fetched.error;
            return result;
        }
    }
    result.error = decode(bytes, limits.maxPixels, maxWidthPixels, &result.image);
    return result;
}

void PreviewImageLoader::finish(quint64 generation, const QUrl &url, const Result &result)
{
    if (generation != m_generation)
        return;
    if (!result.error.isEmpty()) {
        qCWarning(lcPreviewImages, "The image %s could not be shown: %s",
                  qPrintable(url.toString().left(120)), qPrintable(result.error));
        Q_EMIT imageFailed(url, result.error);
        return;
    }
    m_arrived.insert(url, result.image);
    Q_EMIT imageArrived(url, result.image);
}

void PreviewImageLoader::cancelTransfers()
{
    m_workers.clear();
    std::lock_guard guard(m_transfersMutex);
    for (const auto &transfer : m_transfers)
        transfer->cancel();
    m_transfers.clear();
}
