#pragma once

#include "httpconnection.h"
#include "httperror.h"
#include "httpheaders.h"
#include "httpproxy.h"

#include <QByteArray>
#include <QUrl>
#include <exception>
#include <functional>
#include <optional>

// What one exchange sends and how it is bounded.
struct HTTPTransferRequest {
    QUrl url;
    QString method;
    HTTPHeaders headers;
    QByteArray body;
    bool useHTTPVersionOne = false;
    HTTPProxy proxy;
    bool validatesSecureCertificate = true;
    bool persistent = true;
    double timeOutSeconds = 10;
    qint64 maximumResponseSize = 0;
};

// What came back from one exchange.
struct HTTPTransferResult {
    enum class Outcome { Completed, TimedOut, Cancelled, TooLarge, Failed };

    Outcome outcome = Outcome::Failed;
    std::optional<HTTPError> error; // set when the outcome is Failed
    // The connection broke (nothing or only part came back), which a retry on a new connection may cure.
    bool connectionBroke = false;
    bool reusedConnection = false;
    int statusCode = 0;
    QString statusLine;
    HTTPHeaders headers;
    QByteArray body;
    // An exception thrown inside a libcurl callback, carried past libcurl's C frames.
    std::exception_ptr exception;
};

// Runs one HTTP exchange on a connection with libcurl, on the calling thread. libcurl neither follows
// redirects nor decodes content here: the request decides both.
class HTTPTransfer {
public:
    // How often the time-out and the cancel flag are checked while nothing happens.
    static constexpr int checkIntervalMs = 250;

    // `isCancelled` is polled at every check; waking the connection's multi handle makes that immediate.
    static HTTPTransferResult perform(HTTPConnection &connection, const HTTPTransferRequest &request,
                                      const std::function<bool()> &isCancelled);
};
