#include "prefsfixture.h"

#include "feedsimserver.h"
#include "prefs/addfeedsheet.h"
#include "prefs/colorchooserpopupbutton.h"
#include "prefs/feedsettingssheet.h"
#include "prefs/feedtablemodel.h"
#include "prefs/rsspreferencescontroller.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QPaintEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// The feeds pane of an open window.
class FeedsPaneTest : public PrefsFixture {
protected:
    RSSPreferencesController &pane()
    {
        if (!window)
            openWindow(PreferencesController::FeedsTag);
        return *window->rssPreferencesController();
    }
    QTableView *table() { return pane().feedTableView(); }
    QAbstractItemModel *rows() { return table()->model(); }
    QString cell(int row, int column) { return rows()->index(row, column).data().toString(); }
    void selectRow(int row)
    {
        table()->selectRow(row);
        ASSERT_TRUE(table()->selectionModel()->isRowSelected(row));
    }
    void click(const QString &objectName)
    {
        QTest::mouseClick(find<QPushButton>(objectName), Qt::LeftButton);
    }
    void addThroughSheet(const QString &text)
    {
        pane().addFeedWithUrl(text);
        auto *field = find<QLineEdit>(u"addRSSField"_s);
        field->clear();
        QTest::keyClicks(field, text);
        click(u"addRSSPanelButton"_s);
    }
    FeedSettingsSheet &openSettings(int row)
    {
        selectRow(row);
        click(u"feedSettingsButton"_s);
        FeedSettingsSheet *sheet = pane().feedSettingsPanel();
        EXPECT_TRUE(sheet->isVisible());
        return *sheet;
    }
    static void retype(QLineEdit *field, const QString &text)
    {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }
};

TEST_F(FeedsPaneTest, rowsShowEnabledStateDisplayNameAddressAndStatus)
{
    storeFeed(u"Engadget"_s, deadUrl(u"e.xml"_s), {{u"customName"_s, u"Gadgets"_s}}, 3);
    storeFeed(u"Science"_s, deadUrl(u"s.xml"_s), {{u"enabled"_s, false}});
    pane();
    ASSERT_EQ(rows()->rowCount(), 2);
    EXPECT_EQ(rows()->index(0, FeedTableModel::EnabledColumn).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(rows()->index(1, FeedTableModel::EnabledColumn).data(Qt::CheckStateRole).toInt(),
              Qt::Unchecked);
    EXPECT_EQ(cell(0, FeedTableModel::NameColumn), u"Gadgets"_s);
    EXPECT_EQ(cell(1, FeedTableModel::NameColumn), u"Science"_s);
    EXPECT_EQ(cell(0, FeedTableModel::UrlColumn), deadUrl(u"e.xml"_s));
    EXPECT_EQ(cell(0, FeedTableModel::EntriesColumn), u"3"_s);
    EXPECT_EQ(rows()->index(0, FeedTableModel::UrlColumn).data(FeedTableModel::StatusRole).toString(),
              u"Never updated"_s);
}

// The bar's general colours are white on black: rows keep the table's own look unless the feed
// sets colours of its own.
TEST_F(FeedsPaneTest, rowsArePaintedInTheFeedsOwnColoursOrElseTheGeneralOnes)
{
    const QColor general(10, 20, 30);
    const QColor own(40, 62, 96);
    defaults.setObject(Archive::archiveColor(general), SettingsKey::backgroundColor);
    storeFeed(u"Plain"_s, deadUrl(u"p.xml"_s));
    storeFeed(u"Own"_s, deadUrl(u"o.xml"_s), {{u"backgroundColor"_s, Archive::archiveColor(own)}});
    pane();
    const QImage picture = table()->viewport()->grab().toImage();
    const int x = table()->columnViewportPosition(FeedTableModel::NameColumn) +
                  table()->columnWidth(FeedTableModel::NameColumn) - 4;
    const auto middleOf = [&](int row) {
        return table()->rowViewportPosition(row) + table()->rowHeight(row) / 2;
    };
    EXPECT_EQ(picture.pixelColor(x, middleOf(0)), general);
    EXPECT_EQ(picture.pixelColor(x, middleOf(1)), own);
}

TEST_F(FeedsPaneTest, theCheckboxAndTheNameCellEditTheSource)
{
    storeFeed(u"Engadget"_s, deadUrl(u"e.xml"_s), {{u"customName"_s, u"Gadgets"_s}});
    pane();
    EXPECT_TRUE(
        rows()->setData(rows()->index(0, FeedTableModel::EnabledColumn), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_FALSE(source(0)->isEnabled());
    EXPECT_FALSE(feedEntry(0).value(u"enabled"_s).toBool());

    rows()->setData(rows()->index(0, FeedTableModel::NameColumn), u"  Gadget news "_s, Qt::EditRole);
    EXPECT_EQ(source(0)->customName(), u"  Gadget news "_s);
    rows()->setData(rows()->index(0, FeedTableModel::NameColumn), u" \n "_s, Qt::EditRole);
    EXPECT_TRUE(source(0)->customName().isEmpty());
    EXPECT_FALSE(feedEntry(0).contains(u"customName"_s));
    EXPECT_EQ(cell(0, FeedTableModel::NameColumn), u"Engadget"_s);
}

TEST_F(FeedsPaneTest, theClipboardPrefillsOnlyAddressesLongEnoughToNameAHost)
{
    pane();
    const std::pair<QString, QString> cases[] = {
        {u"HTTP://Example.COM/Rss"_s, u"http://example.com/rss"_s},
        {u"feed://news.example.org/x"_s, u"feed://news.example.org/x"_s},
        {u"http://"_s, QString()},
        {u"https://"_s, QString()},
        {u"example.com/rss"_s, QString()},
        {u"some words"_s, QString()}};
    for (const auto &[clipboard, prefilled] : cases) {
        QGuiApplication::clipboard()->setText(clipboard);
        pane().addFeed();
        EXPECT_EQ(find<QLineEdit>(u"addRSSField"_s)->text(), prefilled) << qPrintable(clipboard);
        EXPECT_EQ(find<QPushButton>(u"addRSSPanelButton"_s)->isEnabled(), !prefilled.isEmpty());
        click(u"addRSSCancelButton"_s);
    }
    EXPECT_TRUE(manager->datasources().isEmpty());
}

TEST_F(FeedsPaneTest, anEntryBeginningWithAtAddsTheUserTimelineAndAnyOtherIsAddedAsTyped)
{
    pane();
    addThroughSheet(u"@vantrel"_s);
    addThroughSheet(u"http://example.com/a@b.xml"_s);
    ASSERT_EQ(manager->datasources().size(), 2);
    EXPECT_EQ(feed(0)->url(), u"feed://twitter.com/statuses/user_timeline/vantrel.rss"_s);
    EXPECT_EQ(feed(1)->url(), u"http://example.com/a@b.xml"_s);
    EXPECT_TRUE(alerts().isEmpty());
}

TEST_F(FeedsPaneTest, returnInTheSheetAddsTheLinkItWasOpenedWith)
{
    pane().addFeedWithUrl(u"http://example.com/linked.xml"_s);
    QDialog *sheet = pane().addFeedPanel();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    QTest::keyClick(find<QLineEdit>(u"addRSSField"_s), Qt::Key_Return);
    EXPECT_FALSE(sheet->isVisible());
    ASSERT_EQ(manager->datasources().size(), 1);
    EXPECT_EQ(feed(0)->url(), u"http://example.com/linked.xml"_s);
}

TEST_F(FeedsPaneTest, aDuplicateAddressIsRefusedWithAnAlert)
{
    storeFeed(u"Engadget"_s, u"http://example.com/rss.xml"_s);
    pane();
    addThroughSheet(u"feed://example.com/rss.xml"_s);
    EXPECT_EQ(manager->datasources().size(), 1);
    EXPECT_EQ(alerts(), QStringList{u"Feed already exists."_s});
}

TEST_F(FeedsPaneTest, aBurstOfChangesReloadsTheTableOnce)
{
    storeFeed(u"A"_s, deadUrl(u"a.xml"_s));
    storeFeed(u"B"_s, deadUrl(u"b.xml"_s));
    pane().tableModel().setReloadDelay(100);
    QSignalSpy reloaded(&pane().tableModel(), &FeedTableModel::reloaded);
    QSignalSpy resets(&pane().tableModel(), &QAbstractItemModel::modelReset);
    QSignalSpy rowChanges(&pane().tableModel(), &QAbstractItemModel::dataChanged);
    source(0)->setErrorString(u"one"_s);
    source(1)->setErrorString(u"two"_s);
    source(0)->setErrorString(u"three"_s);
    ASSERT_TRUE(waitFor([&] { return reloaded.size() == 1; }));
    QTest::qWait(150);
    EXPECT_EQ(reloaded.size(), 1);
    // The list of feeds stayed the same: only the two changed rows are redrawn.
    EXPECT_EQ(resets.size(), 0);
    EXPECT_EQ(rowChanges.size(), 2);
}

TEST_F(FeedsPaneTest, aFeedAddedThroughTheSheetIsReadFromTheServerAndItsStatusShowsIt)
{
    FeedSimServer server;
    const int port = server.start();
    ASSERT_GT(port, 0);
    pane().tableModel().setReloadDelay(50);
    addThroughSheet(QString::fromStdString(server.baseUrl()) + u"/rss/science.xml?entries=4"_s);
    ASSERT_TRUE(waitFor([&] { return rows()->rowCount() == 1; }));
    const auto status = [&] {
        return rows()->index(0, FeedTableModel::UrlColumn).data(FeedTableModel::StatusRole).toString();
    };
    // The entry count and the status line may reach the table in separate reloads.
    EXPECT_TRUE(waitFor([&] { return cell(0, FeedTableModel::EntriesColumn) == u"4"_s; }, 10000));
    EXPECT_TRUE(waitFor([&] { return status().startsWith(u"Updated at "_s); }, 10000))
        << qPrintable(status());
    EXPECT_EQ(cell(0, FeedTableModel::NameColumn), source(0)->name());
    EXPECT_FALSE(source(0)->name().isEmpty());
}

// Records what the table's viewport paints.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget *viewport) { viewport->installEventFilter(this); }
    QRegion painted;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

TEST_F(FeedsPaneTest, aStatusChangeOfOneFeedRepaintsItsRowAndNotTheTable)
{
    for (int n = 0; n < 12; ++n)
        storeFeed(u"Feed %1"_s.arg(n, 2, 10, QChar(u'0')), deadUrl(u"%1.xml"_s.arg(n)));
    pane().tableModel().setReloadDelay(0);
    QCoreApplication::processEvents();
    int row = -1;
    for (int r = 0; r < rows()->rowCount(); ++r) {
        if (cell(r, FeedTableModel::NameColumn) == u"Feed 05"_s)
            row = r;
    }
    ASSERT_GE(row, 0);
    PaintRecorder recorder(table()->viewport());
    source(5)->setErrorString(u"HTTP 410 Gone"_s);
    ASSERT_TRUE(waitFor([&] { return !recorder.painted.isEmpty(); }));
    QCoreApplication::processEvents();
    // The row and the grid line below it.
    const QRect rowArea(0, table()->rowViewportPosition(row), table()->viewport()->width(),
                        table()->rowHeight(row) + 1);
    EXPECT_TRUE(rowArea.contains(recorder.painted.boundingRect()))
        << "painted " << recorder.painted.boundingRect().height() << " px high for a row of "
        << rowArea.height();
}

TEST_F(FeedsPaneTest, aFailingFeedShowsItsErrorAsTheStatusLine)
{
    FeedSimServer server;
    ASSERT_GT(server.start(), 0);
    pane().tableModel().setReloadDelay(50);
    addThroughSheet(QString::fromStdString(server.baseUrl()) + u"/bad/status/404"_s);
    // The feed has never been read, and the reason shows.
    ASSERT_TRUE(
        waitFor([&] { return rows()->index(0, 2).data(FeedTableModel::StatusIsErrorRole).toBool(); }, 10000));
    EXPECT_EQ(rows()->index(0, 2).data(FeedTableModel::StatusRole).toString(), source(0)->errorString());
    EXPECT_TRUE(source(0)->errorString().contains(u"404"_s));
}

TEST_F(FeedsPaneTest, theSettingsSheetShowsATimelineAsAtNameAndSavesItInTheFeedForm)
{
    storeFeed(u"Timeline"_s, u"http://twitter.com/statuses/user_timeline/vantrel.rss"_s);
    FeedSettingsSheet &sheet = openSettings(0);
    EXPECT_EQ(sheet.urlField()->text(), u"@vantrel"_s);
    EXPECT_EQ(sheet.nameField()->placeholderText(), u"Timeline"_s);
    QTest::keyClick(sheet.urlField(), Qt::Key_Return); // saves, as the Save button does
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(feed(0)->url(), u"feed://twitter.com/statuses/user_timeline/vantrel.rss"_s);
}

TEST_F(FeedsPaneTest, anAddressThatCanNeverBeAFeedIsNotStoredByAnEdit)
{
    storeFeed(u"News"_s, deadUrl(u"n.xml"_s));
    pane();
    EXPECT_FALSE(
        rows()->setData(rows()->index(0, FeedTableModel::UrlColumn), u"file:///etc/passwd"_s, Qt::EditRole));
    EXPECT_EQ(feed(0)->url(), deadUrl(u"n.xml"_s));
    ASSERT_EQ(alerts().size(), 1);
    EXPECT_TRUE(alerts().at(0).contains(u"file:///etc/passwd"_s));

    FeedSettingsSheet &sheet = openSettings(0);
    retype(sheet.urlField(), u"ftp://example.org/n.xml"_s);
    retype(sheet.limitField(), u"7"_s); // a live field writes the others too
    click(u"feedSettingsSaveButton"_s);
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(feed(0)->url(), deadUrl(u"n.xml"_s));
    EXPECT_EQ(alerts().size(), 2);

    retype(sheet.urlField(), deadUrl(u"m.xml"_s));
    click(u"feedSettingsSaveButton"_s);
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(feed(0)->url(), deadUrl(u"m.xml"_s));
    EXPECT_EQ(feedEntry(0).value(u"url"_s).toString(), deadUrl(u"m.xml"_s));
}

TEST_F(FeedsPaneTest, limitFieldsStoreWhatTheDigitsFormAndRemoveTheOwnValueForNothing)
{
    storeFeed(u"Engadget"_s, deadUrl(u"e.xml"_s), {{u"limit"_s, 40}, {u"refreshRate"_s, 10}});
    FeedSettingsSheet &sheet = openSettings(0);
    EXPECT_EQ(sheet.limitField()->text(), u"40"_s);
    EXPECT_EQ(sheet.limitField()->placeholderText(), u"500"_s);
    EXPECT_TRUE(sheet.ageLimitField()->text().isEmpty());

    retype(sheet.ageLimitField(), u"12a"_s);
    EXPECT_EQ(feedEntry(0).value(u"ageLimit"_s).toInt(), 12);
    retype(sheet.limitField(), u"abc"_s);
    EXPECT_FALSE(feedEntry(0).contains(u"limit"_s));
    retype(sheet.refreshField(), u"0"_s);
    EXPECT_FALSE(feedEntry(0).contains(u"refreshRate"_s));
    retype(sheet.limitField(), u"-3"_s);
    EXPECT_FALSE(feedEntry(0).contains(u"limit"_s));
    // Applied while typing: cancelling keeps them.
    click(u"feedSettingsCancelButton"_s);
    EXPECT_EQ(feedEntry(0).value(u"ageLimit"_s).toInt(), 12);

    openSettings(0);
    EXPECT_TRUE(sheet.limitField()->text().isEmpty());
    EXPECT_EQ(sheet.limitField()->placeholderText(), u"500"_s);
}

TEST_F(FeedsPaneTest, cancelPutsTheColoursBackAndSaveKeepsThem)
{
    const QColor red(255, 0, 0);
    storeFeed(u"Engadget"_s, deadUrl(u"e.xml"_s), {{u"fontColor"_s, Archive::archiveColor(red)}});
    FeedSettingsSheet &sheet = openSettings(0);
    EXPECT_EQ(sheet.fontColorButton()->color(), red);
    EXPECT_FALSE(sheet.backgroundColorButton()->color().isValid());

    const QColor blue(0, 0, 255);
    sheet.fontColorButton()->changeColor(blue);
    sheet.backgroundColorButton()->changeColor(blue);
    EXPECT_EQ(source(0)->fontColor(), blue); // live
    click(u"feedSettingsCancelButton"_s);
    EXPECT_EQ(source(0)->fontColor(), red);
    EXPECT_FALSE(feedEntry(0).contains(u"backgroundColor"_s));

    openSettings(0);
    sheet.fontColorButton()->changeColor(blue);
    click(u"feedSettingsSaveButton"_s);
    EXPECT_EQ(source(0)->fontColor(), blue);
    EXPECT_EQ(Archive::unarchiveColor(feedEntry(0).value(u"fontColor"_s).toByteArray()), blue);
}

TEST_F(FeedsPaneTest, resetRemovesEveryFeedsOwnSettingsButKeepsNamesAddressesAndStates)
{
    const QVariantMap own{{u"limit"_s, 3},
                          {u"ageLimit"_s, 2},
                          {u"refreshRate"_s, 9},
                          {u"fontColor"_s, Archive::archiveColor(Qt::red)},
                          {u"backgroundColor"_s, Archive::archiveColor(Qt::blue)},
                          {u"customName"_s, u"Mine"_s},
                          {u"enabled"_s, false}};
    storeFeed(u"A"_s, deadUrl(u"a.xml"_s), own);
    storeFeed(u"B"_s, deadUrl(u"b.xml"_s), own);
    pane();
    click(u"resetButton"_s);
    for (int i = 0; i < 2; ++i) {
        const QVariantMap entry = feedEntry(i);
        for (const char16_t *key : {u"limit", u"ageLimit", u"refreshRate", u"fontColor", u"backgroundColor"})
            EXPECT_FALSE(entry.contains(QString::fromUtf16(key))) << i;
        EXPECT_EQ(entry.value(u"customName"_s).toString(), u"Mine"_s);
        EXPECT_FALSE(entry.value(u"enabled"_s).toBool());
        EXPECT_EQ(entry.value(u"url"_s).toString(), deadUrl(i == 0 ? u"a.xml"_s : u"b.xml"_s));
        EXPECT_EQ(source(i)->fontColor(), QColor(255, 255, 255));
    }
}

TEST_F(FeedsPaneTest, deleteCanBeUndoneWithTheFeedsEntriesAndSettings)
{
    storeFeed(u"A"_s, deadUrl(u"a.xml"_s), {{u"customName"_s, u"Mine"_s}, {u"limit"_s, 7}}, 5);
    storeFeed(u"B"_s, deadUrl(u"b.xml"_s));
    selectRow(0);
    EXPECT_TRUE(pane().isRowSelected());
    click(u"deleteFeedButton"_s);
    ASSERT_EQ(manager->datasources().size(), 1);
    EXPECT_EQ(rows()->rowCount(), 1);
    auto *undo = find<QPushButton>(u"undoDeleteButton"_s);
    ASSERT_TRUE(undo->isVisible());
    QTest::mouseClick(undo, Qt::LeftButton);
    ASSERT_EQ(manager->datasources().size(), 2);
    EXPECT_EQ(rows()->rowCount(), 2);
    EXPECT_FALSE(undo->isVisible());
    EXPECT_EQ(feed(1)->url(), deadUrl(u"a.xml"_s));
    EXPECT_EQ(source(1)->customName(), u"Mine"_s);
    EXPECT_EQ(source(1)->getUserDefaultsForKey(u"limit"_s, true).toInt(), 7);
    EXPECT_EQ(source(1)->items().size(), 5);
}

TEST_F(FeedsPaneTest, theUndoOfADeleteLastsTenSecondsAndThenTheFeedIsGone)
{
    storeFeed(u"A"_s, deadUrl(u"a.xml"_s));
    storeFeed(u"B"_s, deadUrl(u"b.xml"_s));
    selectRow(0);
    click(u"deleteFeedButton"_s);
    auto *undo = find<QPushButton>(u"undoDeleteButton"_s);
    auto *timer = window->findChild<QTimer *>(u"undoDeleteTimer"_s);
    ASSERT_TRUE(timer);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 10 * 1000);
    timer->setInterval(1); // the ten seconds, passed at once
    ASSERT_TRUE(waitFor([&] { return !undo->isVisible(); }));
    ASSERT_EQ(manager->datasources().size(), 1);
    EXPECT_EQ(source(0)->name(), u"B"_s);
}

TEST_F(FeedsPaneTest, aClickOnAColumnHeaderSortsAndEachRowStillActsOnItsOwnFeed)
{
    storeFeed(u"Charlie"_s, deadUrl(u"c.xml"_s));
    storeFeed(u"Alpha"_s, deadUrl(u"a.xml"_s));
    storeFeed(u"Bravo"_s, deadUrl(u"b.xml"_s));
    pane();
    QHeaderView *header = table()->horizontalHeader();
    const QPoint nameHeader(header->sectionViewportPosition(FeedTableModel::NameColumn) + 5,
                            header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, nameHeader);
    const Qt::SortOrder first = header->sortIndicatorOrder();
    const QStringList ascending{u"Alpha"_s, u"Bravo"_s, u"Charlie"_s};
    const QStringList descending{u"Charlie"_s, u"Bravo"_s, u"Alpha"_s};
    const auto names = [&] {
        QStringList shown;
        for (int row = 0; row < rows()->rowCount(); ++row)
            shown.append(cell(row, FeedTableModel::NameColumn));
        return shown;
    };
    EXPECT_EQ(names(), first == Qt::AscendingOrder ? ascending : descending);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, nameHeader);
    EXPECT_EQ(names(), first == Qt::AscendingOrder ? descending : ascending);

    const QString top = names().at(0);
    FeedSettingsSheet &sheet = openSettings(0);
    EXPECT_EQ(sheet.source()->name(), top);
    sheet.closeFeedSettings();
    selectRow(2);
    const QString bottom = names().at(2);
    click(u"deleteFeedButton"_s);
    ASSERT_EQ(manager->datasources().size(), 2);
    for (const auto &left : manager->datasources())
        EXPECT_NE(left->name(), bottom);
}

TEST_F(FeedsPaneTest, theDeleteKeyAsksFirstAndDeletesEverySelectedFeed)
{
    storeFeed(u"A"_s, deadUrl(u"a.xml"_s));
    storeFeed(u"B"_s, deadUrl(u"b.xml"_s));
    storeFeed(u"C"_s, deadUrl(u"c.xml"_s));
    pane();
    table()->setFocus();
    table()->selectionModel()->select(rows()->index(0, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    table()->selectionModel()->select(rows()->index(2, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    DialogAnswers::queueConfirmation(false);
    QTest::keyClick(table(), Qt::Key_Delete);
    EXPECT_EQ(manager->datasources().size(), 3);
    DialogAnswers::queueConfirmation(true);
    QTest::keyClick(table(), Qt::Key_Delete);
    ASSERT_EQ(manager->datasources().size(), 1);
    EXPECT_EQ(source(0)->name(), u"B"_s);
}

TEST_F(FeedsPaneTest, theFilterMatchesNamesAndAddresses)
{
    storeFeed(u"Science"_s, deadUrl(u"science.xml"_s));
    storeFeed(u"Sport"_s, deadUrl(u"sport.xml"_s));
    storeFeed(u"City"_s, deadUrl(u"town.xml"_s));
    pane();
    auto *filter = find<QLineEdit>(u"feedFilterField"_s);
    QTest::keyClicks(filter, u"sc"_s);
    ASSERT_EQ(rows()->rowCount(), 1);
    EXPECT_EQ(cell(0, FeedTableModel::NameColumn), u"Science"_s);
    filter->clear();
    QTest::keyClicks(filter, u"TOWN"_s);
    ASSERT_EQ(rows()->rowCount(), 1);
    EXPECT_EQ(cell(0, FeedTableModel::NameColumn), u"City"_s);
}

TEST_F(FeedsPaneTest, aDroppedAddressIsSubscribedTo)
{
    pane();
    QMimeData dropped;
    dropped.setText(u"http://example.com/dropped.xml"_s);
    ASSERT_TRUE(rows()->canDropMimeData(&dropped, Qt::CopyAction, -1, -1, {}));
    EXPECT_TRUE(rows()->dropMimeData(&dropped, Qt::CopyAction, -1, -1, {}));
    ASSERT_EQ(manager->datasources().size(), 1);
    EXPECT_EQ(feed(0)->url(), u"http://example.com/dropped.xml"_s);
    EXPECT_EQ(rows()->rowCount(), 1);
}

} // namespace

namespace {

TEST_F(FeedsPaneTest, theContextMenuTurnsEverySelectedFeedOffAndOn)
{
    storeFeed(u"A"_s, deadUrl(u"a.xml"_s));
    storeFeed(u"B"_s, deadUrl(u"b.xml"_s));
    storeFeed(u"C"_s, deadUrl(u"c.xml"_s));
    pane();
    table()->selectionModel()->select(rows()->index(0, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    table()->selectionModel()->select(rows()->index(2, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    find<QAction>(u"disableFeedsAction"_s)->trigger();
    EXPECT_FALSE(source(0)->isEnabled());
    EXPECT_TRUE(source(1)->isEnabled());
    EXPECT_FALSE(feedEntry(2).value(u"enabled"_s).toBool());
    table()->selectAll();
    find<QAction>(u"enableFeedsAction"_s)->trigger();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(source(i)->isEnabled()) << i;
}

// The sheet and a refresh both write the feed's element of the settings: neither change is lost.
TEST_F(FeedsPaneTest, aRefreshEndingWhileTheSheetIsOpenKeepsBothChanges)
{
    FeedSimServer server;
    ASSERT_GT(server.start(), 0);
    pane();
    manager->addFeedWithURL(QString::fromStdString(server.baseUrl()) + u"/bad/slow?delay=300"_s);
    ASSERT_TRUE(waitFor([&] { return rows()->rowCount() == 1; }, 5000));
    FeedSettingsSheet &sheet = openSettings(0);
    retype(sheet.limitField(), u"25"_s);
    ASSERT_TRUE(waitFor([&] { return !feed(0)->isRunning() && !source(0)->name().isEmpty(); }, 10000));
    click(u"feedSettingsSaveButton"_s);
    EXPECT_EQ(feedEntry(0).value(u"limit"_s).toInt(), 25);
    EXPECT_EQ(feedEntry(0).value(u"name"_s).toString(), source(0)->name());
}

} // namespace
