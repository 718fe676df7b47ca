#pragma once

#include "platform/threadhandoff.h"

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QThreadPool>
#include <QUrl>

#include <chrono>
#include <memory>
#include <mutex>
#include <set>

// The images of the entry the preview shows. An image is asked for while the document is laid out
// and must be answered at once: the answer is a placeholder until the image has arrived, and the
// image is fetched and decoded on a worker thread meanwhile, once per address per entry.
//
// Only http and https images with a host are fetched, and data: images up to a size; anything
// else (file:, relative paths, other schemes) is answered with a blank image and never read.
// Fetches are bounded in size and time, at most `maxImages` per entry, and only PNG, JPEG, GIF,
// WebP and BMP images are decoded (an SVG image could refer to local files). Images wider than
// the width given to startEntry arrive scaled down to it.
//
// Main thread only, except the workers, which the loader cancels and joins when it is reset or
// destroyed.
class PreviewImageLoader : public QObject {
    Q_OBJECT

public:
    struct Limits {
        qint64 maxBytes = 8 * 1024 * 1024;
        std::chrono::milliseconds deadline{std::chrono::seconds(10)};
        int maxImages = 32;
        // The whole data: address, in characters.
        qsizetype maxDataUrlLength = 64 * 1024;
        // Images of more pixels than this are not decoded (128 MiB of ARGB).
        qint64 maxPixels = 32 * 1024 * 1024;
    };

    explicit PreviewImageLoader(QObject *parent = nullptr) : PreviewImageLoader(Limits(), parent) {}
    explicit PreviewImageLoader(const Limits &limits, QObject *parent = nullptr);
    ~PreviewImageLoader() override;

    // Forgets the images of the entry before and cancels their transfers. Images arrive at most
    // `maxWidth` device-independent pixels wide (0: as they are), for a screen of that pixel ratio.
    void startEntry(int maxWidth, qreal devicePixelRatio);
    // Forgets the images and cancels their transfers.
    void reset();

    // The image to show now for the address: the image when it has arrived, else a placeholder
    // (or, for an address that is not loaded, a blank image). The first ask starts the load.
    QImage image(const QUrl &url);

    // How many loads the current entry has started.
    int loadsStarted() const { return int(m_requested.size()); }

    // http and https with a host, or data:.
    static bool isLoadable(const QUrl &url);
    // A light grey dot: stretched to the size the document gives an image, a box where it will be.
    static QImage placeholder();
    // A transparent dot, for images that will not come.
    static QImage blank();

Q_SIGNALS:
    void imageArrived(const QUrl &url, const QImage &image);
    // The image will not come; `error` says why. Its placeholder stays.
    void imageFailed(const QUrl &url, const QString &error);

private:
    struct Transfer;
    struct Result {
        QImage image;
        QString error;
    };
    QImage refuse(const QUrl &url, const char *reason);
    void start(const QUrl &url);
    void finish(quint64 generation, const QUrl &url, const Result &result);
    void cancelTransfers();
    static Result load(Transfer &transfer, const QUrl &url, const Limits &limits, int maxWidthPixels);

    Limits m_limits;
    int m_maxWidth = 0;
    qreal m_devicePixelRatio = 1.0;
    quint64 m_generation = 0;
    QSet<QUrl> m_requested;
    QSet<QUrl> m_refused;
    QHash<QUrl, QImage> m_arrived;

    std::mutex m_transfersMutex; // guards m_transfers against the workers
    std::set<std::shared_ptr<Transfer>> m_transfers;
    QThreadPool m_workers;
    ThreadHandOff m_ownThread; // the workers' results reach this object's thread through it
};
