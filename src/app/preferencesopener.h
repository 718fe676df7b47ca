#pragma once

class QUrl;

// What the application shell needs of the preferences window.
class PreferencesOpener {
public:
    virtual ~PreferencesOpener() = default;

    // Brings the preferences window to the front, opening it when it is closed.
    virtual void showPreferences() = 0;
    // Opens the feed pane's add-feed flow with the address filled in; the user confirms.
    virtual void addFeed(const QUrl &address) = 0;
    // Opens the feed pane's OPML import.
    virtual void importOpml() = 0;
};
