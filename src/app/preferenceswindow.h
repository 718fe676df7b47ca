#pragma once

#include "app/preferencesopener.h"

#include <memory>

class PreferencesController;

// The preferences window for the application shell, made the first time it is asked for (most
// starts never open it) on the application's shared objects.
class PreferencesWindow final : public PreferencesOpener {
public:
    PreferencesWindow();
    ~PreferencesWindow() override;

    void showPreferences() override;
    void addFeed(const QUrl &address) override;
    void importOpml() override;
    // The bar's add button: the add-feed sheet, filled from the clipboard.
    void addFeedFromClipboard();

private:
    PreferencesController &window();

    std::unique_ptr<PreferencesController> m_window;
};
