// Usage: vantrel_previewrender <folder>
// Writes preview-*.png into <folder>: the preview of a short and of a long entry with the arrow on
// either side, and of an entry with an image while the image is on its way and once it is shown.
// Runs offscreen on a throw-away settings folder; images come from a loopback server.

#include "model/dataitem.h"
#include "model/itemkeys.h"
#include "platform/desktop/canberrasoundplayer.h"
#include "platform/desktop/xdgurlschemehandlers.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "preview/previewhtmlview.h"
#include "preview/vtpreviewwindowcontroller.h"
#include "services/browser/browsersupport.h"
#include "services/sharing/sharemanager.h"

#include <QApplication>
#include <QBuffer>
#include <QDeadlineTimer>
#include <QDir>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <httplib.h>

#include <atomic>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

QByteArray pictureBytes()
{
    QImage picture(560, 300, QImage::Format_RGB32);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, 0, 300);
    sky.setColorAt(0, QColor(0x3a, 0x7b, 0xd5));
    sky.setColorAt(1, QColor(0xf4, 0xc0, 0x7a));
    painter.fillRect(picture.rect(), sky);
    painter.setBrush(QColor(0x2d, 0x4a, 0x2b));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(150, 420), 330, 200);
    painter.drawEllipse(QPointF(470, 450), 260, 210);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

DataItemPtr entry(const QString &title, const QString &content)
{
    auto item = std::make_shared<DataItem>();
    item->setObject(title, ItemKey::title);
    item->setObject(content, ItemKey::description);
    item->setObject(u"https://example.org/article"_s, ItemKey::link);
    return item;
}

QString longContent()
{
    QString content;
    for (int i = 1; i <= 12; ++i)
        content += u"<p>Paragraph %1 of a long article. The council met on Tuesday to discuss the new "
                   u"cycle lanes, the <a href=\"https://example.org/budget\">budget</a> for the library "
                   u"and the festival in the old harbour.</p>"_s.arg(i);
    return content;
}

void settle(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

bool save(QWidget *window, const QString &path)
{
    const bool saved = window->grab().save(path);
    QTextStream(saved ? stdout : stderr) << (saved ? "wrote " : "could not write ") << path << "\n";
    return saved;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    qputenv("CANBERRA_DEVICE", "null");
    QApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: vantrel_previewrender <folder>\n";
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir home;
    UserDefaults defaults(home.path() + u"/settings"_s);
    defaults.registerDefaults({{SettingsKey::fontSize, 12}, {SettingsKey::fontName, u"Helvetica"_s}});
    XdgUrlSchemeHandlers handlers;
    CanberraSoundPlayer sounds(home.path() + u"/sounds"_s);
    BrowserSupport browser(defaults, handlers, sounds);
    ShareManager sharing(browser);
    VTPreviewWindowController::Options options;
    options.fadeDurationMs = 0;
    options.resizeDurationMs = 0;
    VTPreviewWindowController preview(defaults, browser, sharing, sounds, options);

    const QByteArray picture = pictureBytes();
    std::atomic<bool> released = false;
    httplib::Server server;
    server.Get("/picture.png", [&](const httplib::Request &, httplib::Response &response) {
        QDeadlineTimer deadline(10000);
        while (!released && !deadline.hasExpired())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        response.set_content(picture.constData(), size_t(picture.size()), "image/png");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { server.listen_after_bind(); });

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint leftBar(screen.left() + 250, screen.top() + 300);
    const QPoint rightBar(screen.right() - 250, screen.top() + 300);
    const auto show = [&](const DataItemPtr &item, const QPoint &arrow, bool onLeft) {
        preview.setArrowLocation(arrow, onLeft);
        preview.setDataItem(item);
        settle(100);
    };

    bool ok = true;
    const DataItemPtr shortEntry =
        entry(u"Library unveils new reading room"_s,
              u"<p>The reading room on the first floor opens on Monday, with <b>forty</b> new seats and "
              u"a <a href=\"https://example.org/hours\">longer evening</a>.</p>"_s);
    const DataItemPtr longEntry =
        entry(u"Council approves harbour festival and cycle lanes"_s, longContent());
    show(shortEntry, leftBar, true);
    ok &= save(preview.window(), out.filePath(u"preview-left.png"_s));
    show(shortEntry, rightBar, false);
    ok &= save(preview.window(), out.filePath(u"preview-right.png"_s));
    show(longEntry, leftBar, true);
    ok &= save(preview.window(), out.filePath(u"preview-long-left.png"_s));
    show(longEntry, rightBar, false);
    ok &= save(preview.window(), out.filePath(u"preview-long-right.png"_s));

    const DataItemPtr pictured =
        entry(u"Sunset over the harbour"_s,
              u"<p>The festival ended with a view over the water.</p><p><img "
              u"src=\"http://127.0.0.1:%1/picture.png\" "
              u"width=\"280\" height=\"150\"></p><p>Photo: the harbour office.</p>"_s.arg(port));
    show(pictured, leftBar, true);
    ok &= save(preview.window(), out.filePath(u"preview-image-placeholder.png"_s));
    released = true;
    settle(1000);
    ok &= save(preview.window(), out.filePath(u"preview-image-loaded.png"_s));

    server.stop();
    serving.join();
    return ok ? 0 : 1;
}
