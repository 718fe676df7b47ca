#pragma once

#include "model/entry/dataitem.h"
#include "ticker/rows/rowcontext.h"

#include <QObject>
#include <memory>

class BarColumn;
class BarKeyboard;
class Clock;
class CompositorWatch;
class DatasourceManager;
class DrawnScrollBar;
class EdgeStrip;
class EntryPreview;
class FakeCursorWindow;
class FlippedClipView;
class ListFlow;
class ListView;
class NotificationManager;
class QLineEdit;
class QPushButton;
class QScreen;
class RowRecycler;
class RSSWindow;
class ScreenChoice;
class SoundPlayer;
class StarManager;
class ToolButtonRow;
class UnseenList;
class UserDefaults;
class VTGradientView;

// The ticker bar: one window that shows the merged headlines of every feed as a column of
// equal rows, newest at the top, docked at the left or right edge of a screen or free. It follows
// the appearance settings live, places the tool buttons, the search field and the unseen
// counter, and leaves the movement of the list to ListFlow. Main thread only; lives for the run.
class MainWindowController : public QObject {
    Q_OBJECT

public:
    static constexpr int initialWidth = 250;

    struct Collaborators {
        UserDefaults &defaults;
        const Clock &clock;
        DatasourceManager &manager;
        // The starred headlines, for the starred view; without it the view stays off.
        StarManager *stars;
        EntryPreview &preview;
        SoundPlayer &sounds;
        NotificationManager &notifications;
        // What the headline rows use; its settings, clock and preview are the ones above.
        RowContext rows;
        // False leaves the two 0.2-second ticks to the caller (tests).
        bool startTimers = true;
    };

    explicit MainWindowController(const Collaborators &collaborators, QObject *parent = nullptr);
    ~MainWindowController() override;

    RSSWindow *window() const { return m_window.get(); }
    ListFlow &listFlow() const { return *m_flow; }
    ListView *mainListView() const { return m_mainListView; }
    ListView *starListView() const { return m_starListView; }
    FlippedClipView *scrollView() const { return m_scrollView; }
    QPushButton *counterButton() const { return m_counterButton; }
    QLineEdit *searchField() const { return m_searchField; }
    ToolButtonRow &buttons() const { return *m_buttons; }
    EdgeStrip *edgeStrip() const { return m_edgeStrip; }
    FakeCursorWindow *fakeCursorWindow() const { return m_fakeCursorWindow.get(); }
    CompositorWatch &compositor() const { return *m_compositor; }
    const BarColumn &column() const { return *m_column; }
    const UnseenList &unseen() const { return *m_unseen; }
    int windowLocation() const { return m_windowLocation; }
    bool isReduceMotion() const { return m_reduceMotion; }

    // Shows the bar where the settings place it.
    void showWindow();

    void flipSearchFieldActionAnimate(bool animate);
    // Docks the bar on `screen`, which becomes the user's choice.
    void resizeWindowForScreen(QScreen *screen);
    void _resizeWindow();
    void _fixAnimations();
    void _updateButtonPositions();
    void _updateTrackingArea();
    void windowDidResize();

    // Shows the starred headlines instead of the feeds', and back.
    void flipStarredAction();
    // Shows only the headlines that match a keyword, and back.
    void flipMarkedAction();
    bool isShowingStarred() const;

Q_SIGNALS:
    // The add and preferences buttons: the preferences window answers them.
    void addFeedRequested();
    void preferencesRequested();

private:
    void buildWindow();
    void buildList();
    void connectInterface();
    void observeSettings();
    void backgroundDidChange();
    void fontDidChange();
    void locationDidChange(int location);
    void alwaysOnTopDidChange(bool onTop);
    void reduceMotionDidChange();
    void reserveEdgeDidChange();
    void screenSettingDidChange();
    void chooseScreen(QScreen *screen);
    void applyEdgeReservation();
    void pointerDidMove(bool inside);
    void markRead(const DataItemPtr &item);
    void star(const DataItemPtr &item);

    Collaborators m_c;
    std::unique_ptr<RSSWindow> m_window;
    VTGradientView *m_gradientView = nullptr;
    FlippedClipView *m_scrollView = nullptr;
    ListView *m_mainListView = nullptr;
    ListView *m_starListView = nullptr;
    QPushButton *m_counterButton = nullptr;
    QLineEdit *m_searchField = nullptr;
    std::unique_ptr<ToolButtonRow> m_buttons;
    EdgeStrip *m_edgeStrip = nullptr;
    std::unique_ptr<FakeCursorWindow> m_fakeCursorWindow;
    std::unique_ptr<BarColumn> m_column;
    std::unique_ptr<UnseenList> m_unseen;
    std::unique_ptr<DrawnScrollBar> m_scrollBar;
    std::unique_ptr<RowRecycler> m_recycler;
    std::unique_ptr<ListFlow> m_flow;
    std::unique_ptr<CompositorWatch> m_compositor;
    std::unique_ptr<ScreenChoice> m_screens;
    std::unique_ptr<BarKeyboard> m_keyboard;
    int m_windowLocation = 0;
    bool m_alwaysOnTop = false;
    bool m_buttonsVisible = false;
    bool m_reduceMotion = false;
    bool m_reserveEdge = false;
};
