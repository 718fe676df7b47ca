// 1,000 sequential small GET requests to a loopback server: the request engine with persistent connections on
// and off, next to libcurl's easy interface reusing one handle.
#include "support/http/asihttprequest.h"
#include "support/http/httpconnectionpool.h"

#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <httplib.h>

#include <string>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

constexpr int requestsPerIteration = 1000;

// One server for the whole run, so that every benchmark meets the same peer.
class SmallResponseServer {
public:
    SmallResponseServer()
    {
        m_server.set_keep_alive_max_count(10'000'000);
        // Without it the body waits for the ACK of the headers (Nagle against delayed ACK): 40 ms a request.
        m_server.set_tcp_nodelay(true);
        // Not a compressible type: the server would otherwise gzip for the engine but not for plain libcurl.
        m_server.Get("/small", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(std::string(128, 'x'), "application/octet-stream");
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        while (!m_server.is_running())
            std::this_thread::yield();
    }
    ~SmallResponseServer()
    {
        m_server.stop();
        m_thread.join();
    }

    QUrl url() const { return QUrl(u"http://127.0.0.1:%1/small"_s.arg(m_port)); }

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
};

SmallResponseServer &server()
{
    static SmallResponseServer instance;
    return instance;
}

void runEngine(benchmark::State &state, bool persistent)
{
    const QUrl url = server().url();
    HTTPConnectionPool::sharedPool().closeIdleConnections();
    for (auto _ : state) {
        for (int i = 0; i < requestsPerIteration; ++i) {
            ASIHTTPRequest request(url);
            request.setShouldAttemptPersistentConnection(persistent);
            request.startSynchronous();
            if (request.error() || request.rawResponseData().size() != 128) {
                state.SkipWithError("request failed");
                return;
            }
        }
    }
    HTTPConnectionPool::sharedPool().closeIdleConnections();
    state.SetItemsProcessed(state.iterations() * requestsPerIteration);
}

void BM_EnginePersistent(benchmark::State &state)
{
    runEngine(state, true);
}
void BM_EngineNewConnectionEachTime(benchmark::State &state)
{
    runEngine(state, false);
}

size_t collect(char *data, size_t size, size_t count, void *userData)
{
    static_cast<std::string *>(userData)->append(data, size * count);
    return size * count;
}

void BM_PlainCurlReusingOneHandle(benchmark::State &state)
{
    const QByteArray url = server().url().toEncoded();
    CURL *easy = curl_easy_init();
    std::string body;
    curl_easy_setopt(easy, CURLOPT_URL, url.constData());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &body);
    for (auto _ : state) {
        for (int i = 0; i < requestsPerIteration; ++i) {
            body.clear();
            if (curl_easy_perform(easy) != CURLE_OK || body.size() != 128) {
                state.SkipWithError("request failed");
                break;
            }
        }
    }
    curl_easy_cleanup(easy);
    state.SetItemsProcessed(state.iterations() * requestsPerIteration);
}

} // namespace

BENCHMARK(BM_EnginePersistent)->Unit(benchmark::kMillisecond)->UseRealTime();
// Few iterations: every request leaves a socket in TIME_WAIT.
BENCHMARK(BM_EngineNewConnectionEachTime)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK(BM_PlainCurlReusingOneHandle)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
