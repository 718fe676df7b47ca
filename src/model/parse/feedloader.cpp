#include "model/parse/feedloader.h"

#include "model/parse/feeddecoder.h"

FeedLoader::FeedLoader(FetchOptions fetchOptions, FeedParser::Options parserOptions)
    : m_fetcher(fetchOptions), m_parserOptions(parserOptions)
{
}

QString FeedLoader::load(const QUrl &url, FeedParserHandler &handler)
{
    FeedParser parser(handler, m_parserOptions);
    bool started = false;
    m_lastFetch = m_fetcher.fetch(url, [&](const FetchResponse &response, QByteArrayView bytes) {
        if (!started) {
            parser.setHttpCharset(FeedDecoder::charsetFromContentType(response.contentType));
            started = true;
        }
        return parser.feed(bytes);
    });
    if (parser.failed())
        return parser.errorString();
    if (!m_lastFetch.ok())
        return m_lastFetch.error;
    parser.finish();
    return parser.errorString();
}
