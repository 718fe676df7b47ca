#include "app/preferenceswindow.h"

#include "prefs/preferencescontroller.h"
#include "prefs/preferencesservices.h"
#include "prefs/rsspreferencescontroller.h"

PreferencesWindow::PreferencesWindow() = default;
PreferencesWindow::~PreferencesWindow() = default;

PreferencesController &PreferencesWindow::window()
{
    if (!m_window)
        m_window = std::make_unique<PreferencesController>(PreferencesServices::shared());
    return *m_window;
}

void PreferencesWindow::showPreferences()
{
    PreferencesController &preferences = window();
    preferences.show();
    preferences.raise();
    preferences.activateWindow();
}

void PreferencesWindow::addFeed(const QUrl &address)
{
    window().addFeed(address);
}

void PreferencesWindow::importOpml()
{
    showPreferences();
    m_window->showPane(PreferencesController::FeedsTag);
    m_window->rssPreferencesController()->importOPMLAction();
}

void PreferencesWindow::addFeedFromClipboard()
{
    window().addFeedAction();
}
