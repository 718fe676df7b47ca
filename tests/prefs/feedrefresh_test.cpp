#include "prefsfixture.h"

#include "feedsimserver.h"
#include "prefs/feedtablemodel.h"
#include "prefs/rsspreferencescontroller.h"

#include <QLineEdit>
#include <QMultiHash>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace {

// "Refresh Now" in the feeds pane, against the loopback feed server, and the HTTP status it
// brings into the table.
class FeedRefreshTest : public PrefsFixture {
protected:
    FeedRefreshTest() { server.start(); }
    ~FeedRefreshTest() override
    {
        window.reset();
        if (manager)
            manager->close();
        server.stop();
    }

    QString served(const QString &pathAndQuery) const
    {
        return QString::fromStdString(server.baseUrl()) + pathAndQuery;
    }
    RSSPreferencesController &pane()
    {
        if (!window) {
            openWindow(PreferencesController::FeedsTag);
            pane().tableModel().setReloadDelay(20);
        }
        return *window->rssPreferencesController();
    }
    QTableView *table() { return pane().feedTableView(); }
    QString cell(int row, int column) { return table()->model()->index(row, column).data().toString(); }
    QPushButton *refreshButton() { return find<QPushButton>(u"refreshFeedButton"_s); }
    void select(std::initializer_list<int> rows)
    {
        table()->clearSelection();
        for (int row : rows)
            table()->selectionModel()->select(table()->model()->index(row, 0),
                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    bool idle(int index) const { return !feed(index)->isRunning(); }

    FeedSimServer server;
};

TEST_F(FeedRefreshTest, refreshNowBringsTheNewEntriesAndTheStatusIntoTheirRowsOnly)
{
    storeFeed(u"Changing"_s, served(u"/rss/changing.xml?entries=3"_s));
    storeFeed(u"Gone"_s, served(u"/bad/status/404"_s));
    storeFeed(u"Still"_s, deadUrl(u"still.xml"_s));
    pane();
    QSignalSpy resets(&pane().tableModel(), &QAbstractItemModel::modelReset);
    QSignalSpy rowChanges(&pane().tableModel(), &QAbstractItemModel::dataChanged);
    select({0, 1});
    QTest::mouseClick(refreshButton(), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return cell(0, FeedTableModel::HttpStatusColumn) == u"200 OK"_s; }, 10000));
    EXPECT_TRUE(waitFor([&] { return cell(0, FeedTableModel::EntriesColumn) == u"3"_s; }));
    EXPECT_TRUE(
        waitFor([&] { return cell(1, FeedTableModel::HttpStatusColumn) == u"404 Not Found"_s; }, 10000));
    EXPECT_TRUE(cell(2, FeedTableModel::HttpStatusColumn).isEmpty()) << "not selected, not asked";
    EXPECT_EQ(resets.size(), 0);
    for (const QList<QVariant> &change : std::as_const(rowChanges)) {
        const int row = change.at(0).toModelIndex().row();
        EXPECT_EQ(change.at(1).toModelIndex().row(), row) << "one row at a time";
        EXPECT_NE(row, 2);
    }

    // Not due for another interval, but asked for: the feed's next step arrives.
    server.advance(2);
    select({0});
    ASSERT_TRUE(waitFor([&] { return idle(0) && refreshButton()->isEnabled(); }));
    QTest::mouseClick(refreshButton(), Qt::LeftButton);
    EXPECT_TRUE(waitFor([&] { return cell(0, FeedTableModel::EntriesColumn) == u"5"_s; }, 10000));
    EXPECT_EQ(server.hits("/rss/changing.xml"), 2);
}

TEST_F(FeedRefreshTest, theButtonWaitsForASelectedFeedThatIsOnAndNotRefreshing)
{
    storeFeed(u"Slow"_s, served(u"/bad/slow?delay=400"_s));
    storeFeed(u"Off"_s, served(u"/rss/off.xml"_s), {{u"enabled"_s, false}});
    pane();
    EXPECT_FALSE(refreshButton()->isEnabled()) << "nothing selected";
    select({1});
    EXPECT_FALSE(refreshButton()->isEnabled()) << "a feed that is off";
    select({0});
    ASSERT_TRUE(refreshButton()->isEnabled());

    QTest::mouseClick(refreshButton(), Qt::LeftButton);
    EXPECT_TRUE(feed(0)->isRunning());
    EXPECT_FALSE(refreshButton()->isEnabled()) << "while it refreshes";
    pane().refreshSelected();
    ASSERT_TRUE(waitFor([&] { return refreshButton()->isEnabled(); }, 10000));
    EXPECT_EQ(server.hits("/bad/slow"), 1);
    EXPECT_EQ(cell(0, FeedTableModel::HttpStatusColumn), u"200 OK"_s);

    select({0, 1});
    QTest::mouseClick(refreshButton(), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return idle(0); }, 10000));
    EXPECT_EQ(server.hits("/rss/off.xml"), 0);
}

// Tab walks from the filter through the table to every button that can act, and back; each
// button has a mnemonic of its own, and the one of "Refresh Now" works.
TEST_F(FeedRefreshTest, everyControlIsReachedWithTabAndEachButtonHasItsOwnMnemonic)
{
    storeFeed(u"Changing"_s, served(u"/rss/changing.xml?entries=2"_s));
    pane();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    select({0});
    auto *filter = find<QLineEdit>(u"feedFilterField"_s);
    filter->setFocus();
    QStringList reached;
    for (int step = 0; step < 20; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (QApplication::focusWidget() == filter)
            break;
        reached.append(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(reached, (QStringList{u"feedTableView"_s, u"addFeedButton"_s, u"deleteFeedButton"_s,
                                    u"feedSettingsButton"_s, u"refreshFeedButton"_s, u"resetButton"_s,
                                    u"importOPMLButton"_s, u"exportOPMLButton"_s}));

    // The pane and each of its sheets are windows of their own.
    QMultiHash<const QWidget *, QKeySequence> mnemonics;
    for (const QPushButton *button : pane().findChildren<QPushButton *>()) {
        const QKeySequence mnemonic = QKeySequence::mnemonic(button->text());
        EXPECT_FALSE(mnemonic.isEmpty()) << qPrintable(button->objectName());
        EXPECT_FALSE(mnemonics.contains(button->window(), mnemonic)) << qPrintable(button->objectName());
        mnemonics.insert(button->window(), mnemonic);
    }

    QTest::keyClick(window.get(), Qt::Key_N, Qt::AltModifier);
    ASSERT_TRUE(waitFor([&] { return cell(0, FeedTableModel::HttpStatusColumn) == u"200 OK"_s; }, 10000));
    EXPECT_EQ(server.hits("/rss/changing.xml"), 1);
}

} // namespace
