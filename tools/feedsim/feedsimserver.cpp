#include "feedsimserver.h"

#include "feedgenerator.h"
#include "images.h"

#include <algorithm>

namespace {

int64_t numberParameter(const httplib::Request &request, const char *name, int64_t fallback)
{
    if (!request.has_param(name))
        return fallback;
    try {
        return std::stoll(request.get_param_value(name));
    } catch (const std::exception &) {
        return fallback;
    }
}

} // namespace

// Reads the feed parameters of one request.
struct FeedRequest {
    static FeedSpec spec(const FeedSimServer &server, const httplib::Request &request, const std::string &id,
                         FeedSpec::Format format)
    {
        FeedSpec spec;
        spec.id = id;
        spec.format = request.get_param_value("format") == "atom" ? FeedSpec::Format::Atom : format;
        spec.entries = static_cast<int>(
            std::clamp<int64_t>(numberParameter(request, "entries", server.m_options.entries), 0, 1000000));
        spec.step = numberParameter(request, "step", server.step());
        spec.rate = static_cast<int>(std::clamp<int64_t>(numberParameter(request, "rate", 1), 1, 1000));
        spec.updateEvery = static_cast<int>(std::max<int64_t>(numberParameter(request, "updates", 0), 0));
        const int64_t defaultPeriod = server.m_options.tick > 0
                                          ? std::max<int64_t>(1, static_cast<int64_t>(server.m_options.tick))
                                          : 60;
        spec.period = std::max<int64_t>(1, numberParameter(request, "period", defaultPeriod));
        spec.origin = numberParameter(request, "origin", server.m_origin);
        spec.baseUrl = server.m_baseUrl;
        spec.image = request.get_param_value("image") != "0";
        spec.dated = request.get_param_value("dates") != "0";
        spec.bare = request.get_param_value("bare") == "1";
        const std::string encoding = request.get_param_value("encoding");
        if (encoding == "ISO-8859-1" || encoding == "windows-1252")
            spec.encoding = encoding;
        return spec;
    }

    static std::string contentType(const httplib::Request &request, const FeedSpec &spec)
    {
        std::string type =
            spec.format == FeedSpec::Format::Atom ? "application/atom+xml" : "application/rss+xml";
        if (request.has_param("charset"))
            type += "; charset=" + request.get_param_value("charset");
        return type;
    }

    // Sends the body, gzip-compressed when the request asks with gzip=1.
    static void send(const httplib::Request &request, httplib::Response &response, std::string body,
                     const std::string &type)
    {
        if (request.get_param_value("gzip") != "1") {
            response.set_content(body, type);
            return;
        }
        auto compressed = std::make_shared<std::string>(images::gzip(body));
        response.set_header("Content-Encoding", "gzip");
        response.set_content_provider(compressed->size(), type,
                                      [compressed](size_t offset, size_t length, httplib::DataSink &sink) {
                                          return sink.write(compressed->data() + offset, length);
                                      });
    }
};

FeedSimServer::FeedSimServer(FeedSimOptions options) : m_options(options), m_favicon(options.favicon)
{
    const auto now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    // Without a ticking clock, steps are simulated minutes: start an hour back so that the first
    // sixty steps stay in the past.
    m_origin = now - now % 60 - (options.tick > 0 ? 0 : 3600);
    // Slow and endless responses each hold a thread.
    m_server.new_task_queue = [] { return new httplib::ThreadPool(32); };
    m_server.set_keep_alive_timeout(1);
    m_server.set_pre_routing_handler([this](const httplib::Request &request, httplib::Response &) {
        std::lock_guard lock(m_mutex);
        ++m_hits[request.path];
        return httplib::Server::HandlerResponse::Unhandled;
    });
    addFeedRoutes();
    addAdminRoutes();
    addMisbehaviourRoutes();
}

FeedSimServer::~FeedSimServer()
{
    stop();
}

int FeedSimServer::start(const std::string &host, int port)
{
    const int bound =
        port == 0 ? m_server.bind_to_any_port(host) : (m_server.bind_to_port(host, port) ? port : -1);
    if (bound <= 0)
        return -1;
    const std::string shownHost = host.find(':') != std::string::npos ? "[" + host + "]" : host;
    m_baseUrl = "http://" + shownHost + ":" + std::to_string(bound);
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    // A stop() before the accept loop runs would be lost and leave it running for ever.
    while (!m_server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return bound;
}

void FeedSimServer::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_quitRequested = true;
    }
    m_changed.notify_all();
    m_server.stop();
    if (m_thread.joinable())
        m_thread.join();
}

void FeedSimServer::waitForQuit()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_quitRequested; });
}

void FeedSimServer::requestQuit()
{
    {
        std::lock_guard lock(m_mutex);
        m_quitRequested = true;
    }
    m_changed.notify_all();
}

int64_t FeedSimServer::step() const
{
    std::lock_guard lock(m_mutex);
    int64_t automatic = 0;
    if (m_options.tick > 0) {
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - m_startTime;
        automatic = static_cast<int64_t>(elapsed.count() / m_options.tick);
    }
    return m_adminSteps + automatic;
}

void FeedSimServer::advance(int64_t steps)
{
    std::lock_guard lock(m_mutex);
    m_adminSteps += steps;
}

int FeedSimServer::hits(const std::string &path) const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_hits.find(path);
    return found == m_hits.end() ? 0 : found->second;
}

bool FeedSimServer::pauseFor(std::chrono::milliseconds duration)
{
    std::unique_lock lock(m_mutex);
    return !m_changed.wait_for(lock, duration, [this] { return m_stopping.load(); });
}

void FeedSimServer::addFeedRoutes()
{
    m_server.Get(R"(/(rss|atom)/([A-Za-z0-9_.-]+)\.xml)", [this](const httplib::Request &request,
                                                                 httplib::Response &response) {
        const auto format = request.matches[1] == "atom" ? FeedSpec::Format::Atom : FeedSpec::Format::Rss;
        const FeedSpec spec = FeedRequest::spec(*this, request, request.matches[2], format);
        FeedRequest::send(request, response, FeedGenerator::document(spec),
                          FeedRequest::contentType(request, spec));
    });
    m_server.Get(R"(/feeds/(\d+)\.xml)",
                 [this](const httplib::Request &request, httplib::Response &response) {
                     const FeedSpec spec = FeedRequest::spec(
                         *this, request, "feed" + std::string(request.matches[1]), FeedSpec::Format::Rss);
                     FeedRequest::send(request, response, FeedGenerator::document(spec),
                                       FeedRequest::contentType(request, spec));
                 });
    m_server.Get(R"(/demo/(\d+)\.xml)", [this](const httplib::Request &request, httplib::Response &response) {
        static const char *const names[] = {"city",    "science", "sport",   "culture",
                                            "weather", "travel",  "markets", "tech"};
        const size_t index = std::stoul(request.matches[1]) % std::size(names);
        FeedSpec spec = FeedRequest::spec(*this, request, names[index],
                                          index % 3 == 2 ? FeedSpec::Format::Atom : FeedSpec::Format::Rss);
        // Demo feeds take turns, so that a new headline arrives every few seconds somewhere.
        const auto turns = static_cast<int64_t>(std::size(names) / 2);
        spec.step = (spec.step + static_cast<int64_t>(index)) / turns;
        spec.origin -= static_cast<int64_t>(index) * spec.period; // dated when it appears, never ahead
        spec.period *= turns;
        FeedRequest::send(request, response, FeedGenerator::document(spec),
                          FeedRequest::contentType(request, spec));
    });
    m_server.Get("/favicon.ico", [this](const httplib::Request &, httplib::Response &response) {
        std::lock_guard lock(m_mutex);
        if (!m_favicon) {
            response.status = 404;
            response.set_content("no icon\n", "text/plain");
            return;
        }
        response.set_content(images::ico(images::colourFor(m_baseUrl)), "image/vnd.microsoft.icon");
    });
    m_server.Get(R"(/images/([A-Za-z0-9_.-]+)\.png)",
                 [](const httplib::Request &request, httplib::Response &response) {
                     response.set_content(images::png(images::colourFor(request.matches[1])), "image/png");
                 });
    m_server.Get("/echo", [](const httplib::Request &request, httplib::Response &response) {
        std::string body;
        for (const auto &[name, value] : request.headers)
            body += name + ": " + value + "\n";
        response.set_content(body, "text/plain");
    });
    m_server.Get(R"(/articles/.*)", [](const httplib::Request &request, httplib::Response &response) {
        response.set_content("<!DOCTYPE html><html><body><h1>" + request.path +
                                 "</h1><p>An article.</p></body></html>\n",
                             "text/html; charset=utf-8");
    });
}

void FeedSimServer::addAdminRoutes()
{
    // Each admin route answers GET and POST alike, so that a plain curl or a browser can drive it.
    auto both = [this](const std::string &path, const httplib::Server::Handler &handler) {
        m_server.Get(path, handler);
        m_server.Post(path, handler);
    };
    both("/admin/step", [this](const httplib::Request &request, httplib::Response &response) {
        if (request.has_param("to"))
            advance(numberParameter(request, "to", 0) - step());
        else if (request.has_param("by"))
            advance(numberParameter(request, "by", 1));
        response.set_content(std::to_string(step()) + "\n", "text/plain");
    });
    both("/admin/hits", [this](const httplib::Request &request, httplib::Response &response) {
        response.set_content(std::to_string(hits(request.get_param_value("path"))) + "\n", "text/plain");
    });
    both("/admin/favicon", [this](const httplib::Request &request, httplib::Response &response) {
        std::lock_guard lock(m_mutex);
        if (request.has_param("on"))
            m_favicon = request.get_param_value("on") != "0";
        response.set_content(m_favicon ? "on\n" : "off\n", "text/plain");
    });
    both("/admin/quit", [this](const httplib::Request &, httplib::Response &response) {
        response.set_content("bye\n", "text/plain");
        requestQuit();
    });
}

std::string FeedSimServer::gzipBomb(int mebibytes)
{
    std::lock_guard lock(m_mutex);
    auto found = m_bombs.find(mebibytes);
    if (found == m_bombs.end()) {
        const std::string head = "<?xml version=\"1.0\"?>\n<rss version=\"2.0\"><channel><title>bomb</title>";
        const std::string body =
            images::gzipPadded(head, ' ', uint64_t(mebibytes) * 1024 * 1024, "</channel></rss>\n");
        found = m_bombs.emplace(mebibytes, body).first;
    }
    return found->second;
}
