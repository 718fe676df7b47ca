#pragma once

#include "model/parse/feedparser.h"
#include "platform/network/feedfetcher.h"

#include <QString>
#include <QUrl>

class FeedParserHandler;

// Fetches a feed document and parses it as its bytes arrive, on the calling thread.
class FeedLoader {
public:
    explicit FeedLoader(FetchOptions fetchOptions = FetchOptions::forFeeds(),
                        FeedParser::Options parserOptions = {});

    // Drives `handler` with the document at `url`. Returns the error for the user: the
    // transfer's when the download failed (status 400 or more included), otherwise the
    // parser's; empty on success.
    QString load(const QUrl &url, FeedParserHandler &handler);
    // How the last load's transfer ended: the server's status, or why no answer came.
    const FetchResult &lastFetch() const { return m_lastFetch; }

    // Makes a load under way on another thread give up.
    void cancel() { m_fetcher.cancel(); }

private:
    FeedFetcher m_fetcher;
    FeedParser::Options m_parserOptions;
    FetchResult m_lastFetch;
};
