#pragma once

#include "platform/network/feedfetcher.h"

#include <QImage>
#include <QUrl>
#include <optional>

// Finds a feed's icon: the favicon of the feed's own server, or of the domain its host's last two
// labels name, or the image the feed itself names. Blocking; runs on the refresh thread.
class FeedIconFetcher {
public:
    explicit FeedIconFetcher(const FetchOptions &options) : m_options(options) {}

    // The favicon of the feed's server (same scheme and port, so feeds on other ports find theirs);
    // std::nullopt when nothing could be fetched.
    std::optional<QImage> favicon(const QUrl &feedUrl) const;
    // The favicon of the last two labels of the feed's host; std::nullopt when the host has no
    // such labels (a single label, or an address given by number).
    std::optional<QImage> iconOfLastTwoLabels(const QUrl &feedUrl) const;
    // The image at the address; a null image when it could not be fetched or read.
    QImage image(const QUrl &address) const;

private:
    QByteArray dataFromURL(const QUrl &address) const;

    FetchOptions m_options;
};
