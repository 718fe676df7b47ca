#pragma once

#include <QString>
#include <QUrl>

class SoundPlayer;
class UrlSchemeHandlers;
class UserDefaults;

// Where a headline's link goes when the user opens it (a double click on a row, the preview's
// button, a click on a notification): to the desktop's default handler for the link, which is
// the web browser for web links. Only links LinkPolicy allows are handed on; anything else beeps.
//
// "Active tab" (the openInActiveTab setting): no browser on this desktop lets another program set
// the address of its current tab, so every kind of browser gets the link through the default
// handler, which most browsers open in a new tab of the front window.
class BrowserSupport {
public:
    enum class Browser { Safari, Chrome, Other };

    BrowserSupport(UserDefaults &defaults, UrlSchemeHandlers &handlers, SoundPlayer &beeper);

    // The application's instance, on the standard settings, the desktop's handlers and sounds.
    static BrowserSupport &sharedInstance();

    // Opens a headline's link. A text that is not a URL beeps and opens nothing.
    void openInBrowser(const QString &link) const;
    // The kind of the default web browser, from the name of its application file.
    Browser currentBrowser() const;
    // Hands the URL to the desktop's default handler; false (after a beep or a log line) when the
    // URL is refused or the desktop could not open it.
    bool openWithWorkspace(const QUrl &url) const;
    // Opens the URL in the front tab of the default browser, which here is the default handler.
    void openInActiveTab(const QUrl &url) const;

private:
    UserDefaults &m_defaults;
    UrlSchemeHandlers &m_handlers;
    SoundPlayer &m_beeper;
};
