#pragma once

#include <QByteArray>
#include <QColor>
#include <QSize>
#include <QString>

#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>

// A loopback server of images that counts the requests for each path. "/held/..." paths answer
// only once release() is called (or the server stops), for images that are slow to come.
class ImageServer {
public:
    ImageServer();
    ~ImageServer();
    ImageServer(const ImageServer &) = delete;
    ImageServer &operator=(const ImageServer &) = delete;

    // Serves the bytes at the path from now on.
    void serve(const std::string &path, const QByteArray &bytes,
               const std::string &contentType = "image/png");
    // Serves a PNG of one colour at the path.
    void servePng(const std::string &path, const QSize &size, const QColor &color = Qt::red);

    QString url(const std::string &path) const;
    int hits(const std::string &path) const;
    void release();

    static QByteArray png(const QSize &size, const QColor &color);

private:
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_open = false;
    std::map<std::string, std::pair<QByteArray, std::string>> m_documents;
    std::map<std::string, int> m_hits;
};
