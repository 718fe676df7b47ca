#include "preview/previewhtmlview.h"

#include "imageserver.h"

#include "common/waitfor.h"
#include "model/dataitem.h"
#include "preview/previewdocument.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Reports every time anything opens or reads the files it watches.
class FileWatch {
public:
    FileWatch() : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}
    ~FileWatch() { ::close(m_fd); }
    FileWatch(const FileWatch &) = delete;
    FileWatch &operator=(const FileWatch &) = delete;

    bool watch(const QString &path)
    {
        return inotify_add_watch(m_fd, QFile::encodeName(path).constData(), IN_OPEN | IN_ACCESS) >= 0;
    }
    int events()
    {
        alignas(inotify_event) char buffer[4096];
        ssize_t length = 0;
        while ((length = ::read(m_fd, buffer, sizeof buffer)) > 0) {
            for (char *at = buffer; at < buffer + length;) {
                const auto *event = reinterpret_cast<const inotify_event *>(at);
                ++m_events;
                at += sizeof(inotify_event) + event->len;
            }
        }
        return m_events;
    }

private:
    int m_fd;
    int m_events = 0;
};

// Runs the test inside a folder of its own, where a relative path in a document would resolve.
class CurrentFolder {
public:
    explicit CurrentFolder(const QString &path) : m_previous(QDir::currentPath()) { QDir::setCurrent(path); }
    ~CurrentFolder() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
};

class PreviewHtmlViewTest : public ::testing::Test {
protected:
    PreviewHtmlViewTest()
    {
        view.resize(320, 400);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    QString writeCanary(const QString &name)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(ImageServer::png(QSize(40, 40), Qt::green));
        return path;
    }

    QTemporaryDir folder;
    PreviewHtmlView view;
};

} // namespace

TEST_F(PreviewHtmlViewTest, noLocalFileIsEverReadWhateverTheDocumentNames)
{
    const QString canary = writeCanary(u"canary.png"_s);
    const QString sheet = writeCanary(u"canary.css"_s);
    FileWatch watch;
    ASSERT_TRUE(watch.watch(canary));
    ASSERT_TRUE(watch.watch(sheet));
    {
        // The watch sees an open.
        QFile probe(canary);
        ASSERT_TRUE(probe.open(QIODevice::ReadOnly));
    }
    const int probeEvents = watch.events();
    ASSERT_GT(probeEvents, 0);

    const CurrentFolder inside(folder.path());
    const QString fileUrl = QUrl::fromLocalFile(canary).toString();
    const QString html =
        u"<html><head><link rel=\"stylesheet\" href=\"canary.css\"></head><body "
        u"background=\"canary.png\"><p>relative <img src=\"canary.png\"></p><p>file <img "
        u"src=\"%1\" width=\"40\" height=\"40\"></p><p style=\"background-image: "
        u"url(canary.png)\">styled</p><table background=\"%1\"><tr><td>cell</td></tr></table>"
        u"</body></html>"_s.arg(fileUrl);
    view.measure(html, 300);
    view.load(html);
    view.grab();
    QCoreApplication::processEvents();
    EXPECT_EQ(watch.events(), probeEvents);
    EXPECT_EQ(view.images().loadsStarted(), 0);
    EXPECT_TRUE(view.toPlainText().contains(u"relative"_s));
}

TEST_F(PreviewHtmlViewTest, aClickedLinkIsReportedAndTheViewStaysOnItsDocument)
{
    view.load(u"<p>Before <a href=\"https://example.org/next\">next page</a> after</p>"_s);
    const QString shown = view.toHtml();
    QSignalSpy clicked(&view, &PreviewHtmlView::linkClicked);

    QTextCursor cursor = view.document()->find(u"next page"_s);
    ASSERT_FALSE(cursor.isNull());
    cursor.setPosition(cursor.selectionStart() + 2);
    const QPoint onLink = view.cursorRect(cursor).center();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, onLink);

    ASSERT_EQ(clicked.size(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toUrl(), QUrl(u"https://example.org/next"_s));
    EXPECT_EQ(view.toHtml(), shown);
    EXPECT_FALSE(view.isBackwardAvailable());
}

TEST_F(PreviewHtmlViewTest, aDocumentWithAnUnclosedHeadStillShowsItsBody)
{
    auto item = std::make_shared<DataItem>();
    item->setObject(u"The title"_s, QStringLiteral("title"));
    item->setObject(u"<p>The content</p>"_s, QStringLiteral("description"));
    const QString html = PreviewDocument::htmlContentWithScroller(*item, false);
    ASSERT_FALSE(html.contains(u"</head>"_s));
    const QSizeF size = view.measure(html, 300);
    view.load(html);
    EXPECT_TRUE(view.toPlainText().contains(u"The title"_s));
    EXPECT_TRUE(view.toPlainText().contains(u"The content"_s));
    EXPECT_GT(size.height(), 40);
    EXPECT_EQ(size.width(), 300);
}

TEST_F(PreviewHtmlViewTest, preformattedTextWrapsAndWideImagesShrinkToTheWidth)
{
    view.setImageWidth(284);
    const QString longLine = QStringList(QList<QString>(60, u"word"_s)).join(u' ');
    const QSizeF size = view.measure(
        u"<pre>"_s + longLine + u"</pre><img src=\"x.png\" width=\"1000\" height=\"500\">"_s, 300);
    EXPECT_EQ(size.width(), 300);
    view.load(u"<img src=\"x.png\" width=\"1000\" height=\"500\">"_s);
    QTextImageFormat image;
    for (auto it = view.document()->begin().begin(); !it.atEnd(); ++it) {
        if (it.fragment().charFormat().isImageFormat())
            image = it.fragment().charFormat().toImageFormat();
    }
    EXPECT_EQ(image.width(), 284);
    EXPECT_EQ(image.height(), 142);
}

TEST_F(PreviewHtmlViewTest, anImageThatArrivesTakesItsRoomInALongDocument)
{
    ImageServer server;
    server.servePng("/late.png", QSize(120, 90), Qt::darkRed);
    QString html;
    for (int i = 0; i < 200; ++i)
        html += u"<p>Paragraph %1 of a long document.</p>"_s.arg(i);
    html += u"<p><img src=\"%1\"></p><p>after the image</p>"_s.arg(server.url("/late.png"));
    QSignalSpy shown(&view, &PreviewHtmlView::imageShown);
    view.load(html);
    const qreal before = view.document()->size().height();

    ASSERT_TRUE(waitFor([&] { return shown.size() == 1; }));
    EXPECT_NEAR(view.document()->size().height(), before + 89, 20);
    EXPECT_EQ(server.hits("/late.png"), 1);
}

TEST_F(PreviewHtmlViewTest, defaultColoursStayReadableOnTheLightBubbleUnderADarkPalette)
{
    QPalette dark;
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Link, QColor(0x8a, 0xb4, 0xf8));
    dark.setColor(QPalette::LinkVisited, QColor(0xc5, 0x8a, 0xf9));
    const QPalette readable = PreviewHtmlView::readablePalette(dark);
    EXPECT_LT(readable.color(QPalette::Text).lightness(), 60);
    EXPECT_LT(readable.color(QPalette::Link).lightness(), 140);
    EXPECT_EQ(readable.color(QPalette::Base).alpha(), 0);

    QPalette light;
    light.setColor(QPalette::Text, QColor(0x20, 0x20, 0x30));
    light.setColor(QPalette::Link, QColor(0x00, 0x40, 0x90));
    EXPECT_EQ(PreviewHtmlView::readablePalette(light).color(QPalette::Text), QColor(0x20, 0x20, 0x30));
    EXPECT_EQ(PreviewHtmlView::readablePalette(light).color(QPalette::Link), QColor(0x00, 0x40, 0x90));
}
