#include "imageserver.h"

#include <QBuffer>
#include <QImage>

ImageServer::ImageServer()
{
    m_server.Get(".*", [this](const httplib::Request &request, httplib::Response &response) {
        std::unique_lock lock(m_mutex);
        ++m_hits[request.path];
        if (request.path.rfind("/held/", 0) == 0)
            m_released.wait(lock, [this] { return m_open; });
        const auto found = m_documents.find(request.path);
        if (found == m_documents.end()) {
            response.status = 404;
            return;
        }
        response.set_content(found->second.first.constData(), size_t(found->second.first.size()),
                             found->second.second);
    });
    m_port = m_server.bind_to_any_port("127.0.0.1");
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    while (!m_server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

ImageServer::~ImageServer()
{
    release();
    m_server.stop();
    m_thread.join();
}

void ImageServer::serve(const std::string &path, const QByteArray &bytes, const std::string &contentType)
{
    std::lock_guard lock(m_mutex);
    m_documents[path] = {bytes, contentType};
}

void ImageServer::servePng(const std::string &path, const QSize &size, const QColor &color)
{
    serve(path, png(size, color));
}

QString ImageServer::url(const std::string &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(QString::fromStdString(path));
}

int ImageServer::hits(const std::string &path) const
{
    std::lock_guard lock(m_mutex);
    const auto found = m_hits.find(path);
    return found == m_hits.end() ? 0 : found->second;
}

void ImageServer::release()
{
    {
        std::lock_guard lock(m_mutex);
        m_open = true;
    }
    m_released.notify_all();
}

QByteArray ImageServer::png(const QSize &size, const QColor &color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}
