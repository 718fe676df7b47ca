#include "desktopservicesfixture.h"

#include "common/qtprinters.h"
#include "common/waitfor.h"
#include "platform/capturedwarnings.h"
#include "platform/settingskeys.h"
#include "services/browser/openinbrowser.h"

using namespace Qt::StringLiterals;

namespace {

class BrowserSupportTest : public DesktopServicesFixture {
protected:
    void makeDefaultBrowser(const QString &id)
    {
        XdgSandbox::writeApplication(sandbox.userApplications(), id, u"Browser"_s,
                                     {u"x-scheme-handler/http"_s});
        QString error;
        ASSERT_TRUE(handlers.setDefaultHandler(u"http"_s, id, &error)) << error.toStdString();
    }
};

} // namespace

TEST_F(BrowserSupportTest, onlyWebAndMailLinksReachTheDesktopAndTheRestBeep)
{
    CapturedWarnings warnings;
    const QStringList openable{u"https://example.org/a?b=c#d"_s, u"http://example.org/"_s,
                               u"mailto:someone@example.org"_s, u"HTTPS://EXAMPLE.ORG/upper"_s};
    const QStringList refused{u"javascript:alert(1)"_s, u"JavaScript:alert(document.cookie)"_s,
                              u"file:///etc/passwd"_s,  u"data:text/html;base64,PHNjcmlwdD4="_s,
                              u"vbscript:msgbox"_s,     u"ftp://example.org/file"_s,
                              u"steam://run/1"_s,       u"feed://example.org/rss"_s,
                              u"http:///no-host"_s,     u"/relative/path"_s,
                              u"not a url"_s,           u""_s};
    for (const QString &link : openable + refused)
        browser.openInBrowser(link);

    QStringList reached;
    for (const QUrl &url : std::as_const(opened.urls))
        reached.append(url.toString());
    EXPECT_EQ(reached, (QStringList{u"https://example.org/a?b=c#d"_s, u"http://example.org/"_s,
                                    u"mailto:someone@example.org"_s, u"https://example.org/upper"_s}));
    ASSERT_TRUE(waitFor([&] { return beeps() == refused.size(); }));
    EXPECT_TRUE(warnings.joined().contains(u"Refused to open a javascript: link"_s));
    EXPECT_TRUE(warnings.joined().contains(u"it is not a URL"_s));
}

TEST_F(BrowserSupportTest, theDefaultBrowserIsKnownByItsApplicationFile)
{
    EXPECT_EQ(browser.currentBrowser(), BrowserSupport::Browser::Other);
    makeDefaultBrowser(u"firefox-esr.desktop"_s);
    EXPECT_EQ(browser.currentBrowser(), BrowserSupport::Browser::Other);
    makeDefaultBrowser(u"google-chrome.desktop"_s);
    EXPECT_EQ(browser.currentBrowser(), BrowserSupport::Browser::Chrome);
    makeDefaultBrowser(u"com.apple.Safari.desktop"_s);
    EXPECT_EQ(browser.currentBrowser(), BrowserSupport::Browser::Safari);
}

TEST_F(BrowserSupportTest, theActiveTabFallsBackToTheDefaultHandler)
{
    makeDefaultBrowser(u"google-chrome.desktop"_s);
    defaults.setObject(true, SettingsKey::openInActiveTab);
    browser.openInBrowser(u"https://example.org/story"_s);
    browser.openInBrowser(u"javascript:alert(1)"_s);
    EXPECT_EQ(opened.urls, QList<QUrl>{QUrl(u"https://example.org/story"_s)});
    EXPECT_TRUE(waitFor([&] { return beeps() == 1; }));
}

TEST_F(BrowserSupportTest, anEntryOpensItsLink)
{
    openInBrowser(*headline(u"Feed"_s, u"Story"_s, u"  https://example.org/entry  "_s));
    EXPECT_EQ(opened.urls, QList<QUrl>{QUrl(u"https://example.org/entry"_s)});
}
