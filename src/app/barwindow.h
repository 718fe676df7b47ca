#pragma once

#include "app/tickerwindow.h"

#include <memory>

class DatasourceManager;
class MainWindowController;
class NotificationManager;
class RowSettings;
class UserDefaults;
class VTPreviewWindowController;

// The ticker bar as the program's main window: the bar's controller with the shared stars,
// preview, sounds and notifications it works with. Owns them for the program's life.
class BarWindow final : public TickerWindow {
public:
    BarWindow(DatasourceManager &manager, UserDefaults &defaults);
    ~BarWindow() override;

    MainWindowController &controller() const { return *m_bar; }

    bool isVisible() const override;
    void orderFront() override;
    void orderOut() override;
    void setTaskbarPresence(bool present) override;

private:
    // Owned here, not the application's shared instance, so that its window goes before the
    // application object: widgets destroyed after it free the fonts twice.
    std::unique_ptr<VTPreviewWindowController> m_preview;
    std::unique_ptr<NotificationManager> m_notifications;
    std::unique_ptr<RowSettings> m_rowSettings;
    std::unique_ptr<MainWindowController> m_bar; // destroyed before the preview its rows refer to
};
