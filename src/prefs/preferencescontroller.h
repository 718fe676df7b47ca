#pragma once

#include "prefs/preferencesservices.h"

#include <QMainWindow>
#include <QUrl>

class AppearancePreferencesController;
class GeneralPreferencesController;
class GoogleReaderController;
class NotificationsPane;
class QAction;
class QActionGroup;
class QPropertyAnimation;
class QToolBar;
class QVBoxLayout;
class RSSPreferencesController;

// The preferences window: a toolbar of five panes told apart by tag. Switching panes keeps the
// window's top edge where it is and lets it grow or shrink downwards.
class PreferencesController : public QMainWindow {
    Q_OBJECT
public:
    enum Tag { GeneralTag = 0, FeedsTag = 1, ReaderServiceTag = 2, AppearanceTag = 3, NotificationsTag = 4 };

    explicit PreferencesController(const PreferencesServices &services, QWidget *parent = nullptr);
    ~PreferencesController() override;

    // Shows the pane of the tag, with its toolbar item selected and its label as the title. A tag
    // outside the panes changes only the title.
    void showPane(int tag);
    // Opens the feeds pane with the add-feed sheet prefilled from the clipboard.
    void addFeedAction();
    // Opens the feeds pane with the add-feed sheet holding the link; the toolbar selection and
    // the title stay as they were.
    void addFeed(const QString &link);
    void addFeed(const QUrl &link) { addFeed(link.toString()); }

    QAction *toolbarItem(int tag) const;
    QWidget *currentView() const { return m_current; }
    QWidget *paneView(int tag) const;
    RSSPreferencesController *rssPreferencesController() const { return m_rss; }
    GeneralPreferencesController *generalPreferencesController() const { return m_general; }
    AppearancePreferencesController *appearancePreferencesController() const { return m_appearance; }
    GoogleReaderController *googleReaderController() const { return m_googleReader; }

    // The window's resize when panes change; 0 resizes at once.
    void setResizeDuration(int milliseconds) { m_resizeDuration = milliseconds; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void addCloseShortcut();
    void buildToolbar();
    QAction *addToolbarItem(int tag, const QString &objectName, const QString &label, const QIcon &icon);
    void toolbarAction(QAction *item);
    void setCurrentView(QWidget *view);
    void resizeForPane(QSize before, int height);

    const PreferencesServices m_services;
    GeneralPreferencesController *m_general;
    RSSPreferencesController *m_rss;
    GoogleReaderController *m_googleReader;
    AppearancePreferencesController *m_appearance;
    NotificationsPane *m_notifications;
    QToolBar *m_toolbar = nullptr;
    QActionGroup *m_items = nullptr;
    QWidget *m_content;
    QVBoxLayout *m_contentLayout;
    QWidget *m_current = nullptr;
    QPropertyAnimation *m_resize = nullptr;
    int m_resizeDuration = 200;
};
