// The /bad/ routes of FeedSimServer: every way a feed server can let a client down.
#include "feedsimserver.h"

#include "feedgenerator.h"

#include <algorithm>

namespace {

constexpr const char *kRss = "application/rss+xml";

std::chrono::milliseconds millisecondsParameter(const httplib::Request &request, const char *name,
                                                int64_t fallback)
{
    int64_t value = fallback;
    if (request.has_param(name)) {
        try {
            value = std::stoll(request.get_param_value(name));
        } catch (const std::exception &) {
        }
    }
    return std::chrono::milliseconds(std::clamp<int64_t>(value, 0, 3'600'000));
}

std::string smallFeed(const std::string &baseUrl, const std::string &id)
{
    FeedSpec spec;
    spec.id = id;
    spec.entries = 3;
    spec.baseUrl = baseUrl;
    return FeedGenerator::document(spec);
}

std::string wrapInFeed(const std::string &prolog, const std::string &title)
{
    return prolog + "<rss version=\"2.0\"><channel><title>" + title +
           "</title><item><title>entry</title><link>http://127.0.0.1/x</link></item></channel></rss>\n";
}

} // namespace

void FeedSimServer::addMisbehaviourRoutes()
{
    // Nothing at all (not even headers) until the delay has passed, then a feed.
    m_server.Get("/bad/slow", [this](const httplib::Request &request, httplib::Response &response) {
        if (!pauseFor(millisecondsParameter(request, "delay", 5000)))
            return;
        response.set_content(smallFeed(m_baseUrl, "slow"), kRss);
    });

    // A valid start, then a new item every interval, for ever.
    m_server.Get("/bad/endless", [this](const httplib::Request &request, httplib::Response &response) {
        const auto interval = millisecondsParameter(request, "interval", 100);
        FeedSpec spec;
        spec.id = "endless";
        spec.baseUrl = m_baseUrl;
        response.set_chunked_content_provider(
            kRss, [this, interval, spec](size_t offset, httplib::DataSink &sink) {
                if (offset == 0) {
                    const std::string head = FeedGenerator::rssHead(spec);
                    return sink.write(head.data(), head.size());
                }
                if (!pauseFor(interval))
                    return false;
                const std::string item = FeedGenerator::rssItem(spec, static_cast<int64_t>(offset));
                return sink.write(item.data(), item.size());
            });
    });

    // A complete feed, one byte per interval: never idle, never done in time.
    m_server.Get("/bad/drip", [this](const httplib::Request &request, httplib::Response &response) {
        const auto interval = millisecondsParameter(request, "interval", 1000);
        auto body = std::make_shared<std::string>(smallFeed(m_baseUrl, "drip"));
        response.set_content_provider(body->size(), kRss,
                                      [this, interval, body](size_t offset, size_t, httplib::DataSink &sink) {
                                          if (offset > 0 && !pauseFor(interval))
                                              return false;
                                          return sink.write(body->data() + offset, 1);
                                      });
    });

    // /bad/redirect/<n>: n redirects, then a feed.
    m_server.Get(R"(/bad/redirect/(\d+))", [](const httplib::Request &request, httplib::Response &response) {
        const int left = std::stoi(request.matches[1]);
        response.set_redirect(left > 0 ? "/bad/redirect/" + std::to_string(left - 1) : "/rss/redirected.xml",
                              302);
    });
    m_server.Get(R"(/bad/loop/(a|b))", [](const httplib::Request &request, httplib::Response &response) {
        response.set_redirect(request.matches[1] == "a" ? "/bad/loop/b" : "/bad/loop/a", 301);
    });
    m_server.Get("/bad/redirect-to", [](const httplib::Request &request, httplib::Response &response) {
        response.set_redirect(request.get_param_value("url"), 302);
    });

    // /bad/status/<code>?body=xml|html|none: an error status whose body may even be a valid feed.
    m_server.Get(R"(/bad/status/(\d+))", [this](const httplib::Request &request,
                                                httplib::Response &response) {
        response.status = std::stoi(request.matches[1]);
        const std::string body = request.get_param_value("body");
        if (body == "xml")
            response.set_content(smallFeed(m_baseUrl, "error"), kRss);
        else if (body != "none")
            response.set_content("<!DOCTYPE html>\n<html><head><title>Error</title></head><body><h1>Error " +
                                     std::to_string(response.status) +
                                     "</h1><p>Something&nbsp;went wrong<br></body></html>\n",
                                 "text/html");
    });

    // A small gzip stream that inflates to `size` MiB.
    m_server.Get("/bad/gzip-bomb", [this](const httplib::Request &request, httplib::Response &response) {
        const int size = static_cast<int>(
            std::clamp<int64_t>(millisecondsParameter(request, "size", 64).count(), 1, 1024));
        auto body = std::make_shared<std::string>(gzipBomb(size));
        response.set_header("Content-Encoding", "gzip");
        response.set_content_provider(body->size(), kRss,
                                      [body](size_t offset, size_t length, httplib::DataSink &sink) {
                                          return sink.write(body->data() + offset, length);
                                      });
    });

    // A plain body of `size` MiB (whitespace inside a valid feed).
    m_server.Get("/bad/huge", [](const httplib::Request &request, httplib::Response &response) {
        const size_t size = static_cast<size_t>(std::clamp<int64_t>(
                                millisecondsParameter(request, "size", 64).count(), 1, 1024))
                            << 20;
        const std::string head = "<?xml version=\"1.0\"?>\n<rss version=\"2.0\"><channel><title>huge</title>";
        const std::string tail = "</channel></rss>\n";
        const std::string padding(64 * 1024, ' ');
        response.set_content_provider(
            head.size() + size + tail.size(), kRss,
            [=](size_t offset, size_t length, httplib::DataSink &sink) {
                if (offset == 0)
                    return sink.write(head.data(), head.size());
                if (offset >= head.size() + size)
                    return sink.write(tail.data(), tail.size());
                return sink.write(padding.data(),
                                  std::min({length, padding.size(), head.size() + size - offset}));
            });
    });

    // A valid feed whose one entry has a title of `size` MiB.
    m_server.Get("/bad/huge-title", [](const httplib::Request &request, httplib::Response &response) {
        const size_t size = static_cast<size_t>(std::clamp<int64_t>(
                                millisecondsParameter(request, "size", 10).count(), 1, 1024))
                            << 20;
        const std::string head =
            "<?xml version=\"1.0\"?>\n<rss version=\"2.0\"><channel><title>huge title</title><item><title>";
        const std::string tail = "</title><link>http://127.0.0.1/huge</link></item></channel></rss>\n";
        const std::string words = "Headline words without end. ";
        std::string padding;
        while (padding.size() < 64 * 1024)
            padding += words;
        response.set_content_provider(
            head.size() + size + tail.size(), kRss,
            [=](size_t offset, size_t length, httplib::DataSink &sink) {
                if (offset == 0)
                    return sink.write(head.data(), head.size());
                if (offset >= head.size() + size)
                    return sink.write(tail.data(), tail.size());
                return sink.write(padding.data(),
                                  std::min({length, padding.size(), head.size() + size - offset}));
            });
    });

    m_server.Get("/bad/malformed", [](const httplib::Request &request, httplib::Response &response) {
        const std::string kind = request.get_param_value("kind");
        std::string body;
        if (kind == "mismatch")
            body = "<?xml version=\"1.0\"?>\n<rss "
                   "version=\"2.0\">\n<channel>\n<title>Broken</titel>\n</channel>\n</rss>\n";
        else if (kind == "garbage")
            body = "this is not a feed at all\n";
        else if (kind == "html")
            body = "<!DOCTYPE html>\n<html><body><p>Not a feed<br></body></html>\n";
        else
            body = "<?xml version=\"1.0\"?>\n<rss version=\"2.0\">\n<channel>\n<title>Cut "
                   "short</title>\n<item><title>half";
        response.set_content(body, kRss);
    });

    // Generated feeds in single-byte sets, declared only in the XML declaration.
    for (const auto &[path, encoding] :
         {std::pair{"/bad/latin1", "ISO-8859-1"}, std::pair{"/bad/cp1252", "windows-1252"}}) {
        m_server.Get(path, [this, enc = std::string(encoding)](const httplib::Request &request,
                                                               httplib::Response &response) {
            FeedSpec spec;
            spec.id = "caf\xC3\xA9-" + enc;
            spec.entries = 3;
            spec.baseUrl = m_baseUrl;
            spec.encoding = enc;
            std::string type = kRss;
            if (request.has_param("charset"))
                type += "; charset=" + request.get_param_value("charset");
            response.set_content(FeedGenerator::document(spec), type);
        });
    }

    m_server.Get("/bad/entities", [](const httplib::Request &, httplib::Response &response) {
        response.set_content(wrapInFeed("<?xml version=\"1.0\"?>\n",
                                        "Caf&eacute;&nbsp;news &ndash; it&rsquo;s &copy;&hellip;"),
                             kRss);
    });
    m_server.Get("/bad/unknown-entity", [](const httplib::Request &, httplib::Response &response) {
        response.set_content(wrapInFeed("<?xml version=\"1.0\"?>\n", "Mystery &bogus; entity"), kRss);
    });

    // External entities pointing at a local file: kind=general (default), parameter or dtd.
    m_server.Get("/bad/xxe", [](const httplib::Request &request, httplib::Response &response) {
        const std::string file = request.has_param("file") ? request.get_param_value("file") : "/etc/passwd";
        const std::string kind = request.get_param_value("kind");
        std::string prolog;
        std::string title = "&xxe;";
        if (kind == "parameter") {
            prolog = "<!DOCTYPE rss [<!ENTITY % xxe SYSTEM \"file://" + file + "\"> %xxe;]>\n";
            title = "parameter";
        } else if (kind == "dtd") {
            prolog = "<!DOCTYPE rss SYSTEM \"file://" + file + "\">\n";
            title = "external subset";
        } else {
            prolog = "<!DOCTYPE rss [<!ENTITY xxe SYSTEM \"file://" + file + "\">]>\n";
        }
        response.set_content(wrapInFeed("<?xml version=\"1.0\"?>\n" + prolog, title), kRss);
    });

    m_server.Get("/bad/billion-laughs", [](const httplib::Request &, httplib::Response &response) {
        std::string prolog = "<?xml version=\"1.0\"?>\n<!DOCTYPE rss [\n<!ENTITY lol0 \"lol\">\n";
        for (int level = 1; level <= 9; ++level) {
            prolog += "<!ENTITY lol" + std::to_string(level) + " \"";
            for (int i = 0; i < 10; ++i)
                prolog += "&lol" + std::to_string(level - 1) + ";";
            prolog += "\">\n";
        }
        response.set_content(wrapInFeed(prolog + "]>\n", "&lol9;"), kRss);
    });
    m_server.Get("/bad/quadratic", [](const httplib::Request &, httplib::Response &response) {
        std::string title;
        for (int i = 0; i < 1000; ++i)
            title += "&big;";
        response.set_content(wrapInFeed("<?xml version=\"1.0\"?>\n<!DOCTYPE rss [<!ENTITY big \"" +
                                            std::string(50000, 'x') + "\">]>\n",
                                        title),
                             kRss);
    });

    m_server.Get("/bad/controls", [](const httplib::Request &, httplib::Response &response) {
        response.set_content(
            wrapInFeed("<?xml version=\"1.0\"?>\n", std::string("Bell\x07 and\x00 null\x1B", 16)), kRss);
    });
    m_server.Get("/bad/empty", [](const httplib::Request &, httplib::Response &response) {
        response.set_content("", kRss);
    });
}
