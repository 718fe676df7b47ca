#include "preview/previewimageloader.h"

#include "imageserver.h"

#include "common/waitfor.h"

#include <QBuffer>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The loader against a loopback image server, with limits small enough to reach.
class PreviewImageLoaderTest : public ::testing::Test {
protected:
    PreviewImageLoaderTest() { loader.startEntry(284, 1.0); }

    static PreviewImageLoader::Limits limits()
    {
        PreviewImageLoader::Limits limits;
        limits.maxBytes = 64 * 1024;
        limits.deadline = std::chrono::milliseconds(300);
        limits.maxImages = 4;
        limits.maxDataUrlLength = 4096;
        return limits;
    }

    QUrl url(const std::string &path) const { return QUrl(server.url(path)); }

    QString failure(const std::string &path) const
    {
        for (const QList<QVariant> &signal : failed) {
            if (signal.at(0).toUrl() == url(path))
                return signal.at(1).toString();
        }
        return {};
    }

    ImageServer server;
    PreviewImageLoader loader{limits()};
    QSignalSpy arrived{&loader, &PreviewImageLoader::imageArrived};
    QSignalSpy failed{&loader, &PreviewImageLoader::imageFailed};
};

bool isPlaceholder(const QImage &image)
{
    return image.size() == QSize(1, 1) && image.pixelColor(0, 0).alpha() > 0;
}

bool isBlank(const QImage &image)
{
    return image.size() == QSize(1, 1) && image.pixelColor(0, 0).alpha() == 0;
}

} // namespace

TEST_F(PreviewImageLoaderTest, anImageIsAPlaceholderUntilItArrivesAndIsFetchedOncePerEntry)
{
    server.servePng("/a.png", QSize(100, 50), Qt::blue);
    EXPECT_TRUE(isPlaceholder(loader.image(url("/a.png"))));
    EXPECT_TRUE(isPlaceholder(loader.image(url("/a.png"))));
    ASSERT_TRUE(waitFor([&] { return arrived.size() == 1; }));
    EXPECT_EQ(arrived.at(0).at(0).toUrl(), url("/a.png"));

    const QImage image = loader.image(url("/a.png"));
    EXPECT_EQ(image.size(), QSize(100, 50));
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::blue));
    EXPECT_EQ(server.hits("/a.png"), 1);

    // The next entry loads it again.
    loader.startEntry(284, 1.0);
    EXPECT_TRUE(isPlaceholder(loader.image(url("/a.png"))));
    ASSERT_TRUE(waitFor([&] { return arrived.size() == 2; }));
    EXPECT_EQ(server.hits("/a.png"), 2);
}

TEST_F(PreviewImageLoaderTest, wideImagesArriveScaledToTheWidthAtTheScreensPixelRatio)
{
    server.servePng("/wide.png", QSize(1000, 400));
    loader.startEntry(284, 2.0);
    loader.image(url("/wide.png"));
    ASSERT_TRUE(waitFor([&] { return arrived.size() == 1; }));
    const QImage image = loader.image(url("/wide.png"));
    EXPECT_EQ(image.size(), QSize(568, 227));
    EXPECT_EQ(image.devicePixelRatio(), 2.0);
}

TEST_F(PreviewImageLoaderTest, onlyWebAndSmallEmbeddedImagesAreLoaded)
{
    QByteArray smallPng = ImageServer::png(QSize(3, 2), Qt::green);
    const QUrl embedded(u"data:image/png;base64,"_s + QString::fromLatin1(smallPng.toBase64()));
    const QUrl tooBig(u"data:image/png;base64,"_s + QString(5000, u'A'));
    for (const QUrl &refused : {QUrl(u"file:///etc/hostname"_s), QUrl(u"canary.png"_s),
                                QUrl(u"/etc/passwd"_s), QUrl(u"ftp://127.0.0.1/x.png"_s),
                                QUrl(u"qrc:/ui/images/open.svg"_s), QUrl(u"http:///nohost.png"_s), tooBig})
        EXPECT_TRUE(isBlank(loader.image(refused))) << qPrintable(refused.toString().left(60));
    EXPECT_EQ(loader.loadsStarted(), 0);

    EXPECT_TRUE(isPlaceholder(loader.image(embedded)));
    ASSERT_TRUE(waitFor([&] { return arrived.size() == 1; }));
    EXPECT_EQ(loader.image(embedded).size(), QSize(3, 2));
}

TEST_F(PreviewImageLoaderTest, oversizeSlowAndNonImageAnswersAreRefused)
{
    QByteArray big = ImageServer::png(QSize(8, 8), Qt::red);
    big.append(QByteArray(128 * 1024, '\0'));
    server.serve("/big.png", big);
    server.serve("/held/slow.png", ImageServer::png(QSize(8, 8), Qt::red));
    server.serve("/picture.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"8\" height=\"8\"/>",
                 "image/svg+xml");
    server.serve("/page.html", "<html>not an image</html>", "text/html");

    const std::vector<const char *> paths{"/big.png", "/held/slow.png", "/picture.svg", "/page.html"};
    for (const char *path : paths)
        EXPECT_TRUE(isPlaceholder(loader.image(url(path))));
    EXPECT_EQ(loader.loadsStarted(), 4);

    ASSERT_TRUE(waitFor([&] { return failed.size() == 4; })) << failed.size();
    EXPECT_TRUE(arrived.isEmpty());
    EXPECT_EQ(failure("/big.png"), u"Download exceeds 64 KiB"_s);
    EXPECT_TRUE(failure("/held/slow.png").contains(u"300 ms"_s)) << qPrintable(failure("/held/slow.png"));
    EXPECT_EQ(failure("/picture.svg"), u"not a PNG, JPEG, GIF, WebP or BMP image"_s);
    EXPECT_EQ(failure("/page.html"), u"not a PNG, JPEG, GIF, WebP or BMP image"_s);
    for (const char *path : paths)
        EXPECT_TRUE(isPlaceholder(loader.image(url(path)))) << path;
}

TEST_F(PreviewImageLoaderTest, anEntryLoadsAtMostItsShareOfImages)
{
    for (int i = 0; i < 10; ++i) {
        const std::string path = "/many" + std::to_string(i) + ".png";
        server.servePng(path, QSize(4, 4));
        loader.image(url(path));
    }
    EXPECT_EQ(loader.loadsStarted(), 4);
    ASSERT_TRUE(waitFor([&] { return arrived.size() == 4; }));
    EXPECT_EQ(server.hits("/many3.png"), 1);
    EXPECT_EQ(server.hits("/many4.png"), 0);
    EXPECT_TRUE(isBlank(loader.image(url("/many9.png"))));
}

TEST_F(PreviewImageLoaderTest, anImageOfAnEntryThatWasLeftNeverArrives)
{
    server.serve("/held/late.png", ImageServer::png(QSize(8, 8), Qt::red));
    loader.image(url("/held/late.png"));
    EXPECT_TRUE(waitFor([&] { return server.hits("/held/late.png") == 1; }));
    loader.startEntry(284, 1.0);
    server.release();
    server.servePng("/next.png", QSize(4, 4));
    loader.image(url("/next.png"));
    ASSERT_TRUE(waitFor([&] { return arrived.size() == 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(arrived.size(), 1);
    EXPECT_EQ(arrived.at(0).at(0).toUrl(), url("/next.png"));
}
