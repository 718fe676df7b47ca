#include "prefsfixture.h"

#include "common/filecontents.h"
#include "model/opml/opmlreader.h"
#include "prefs/feedtablemodel.h"
#include "prefs/opmlimportjob.h"
#include "prefs/rsspreferencescontroller.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace {

// OPML files chosen through the file dialogs' hook, imported and exported by the feeds pane.
class OpmlTransferTest : public PrefsFixture {
protected:
    RSSPreferencesController &pane()
    {
        if (!window)
            openWindow(PreferencesController::FeedsTag);
        return *window->rssPreferencesController();
    }
    QString path(const QString &name) const { return sandbox.path() + u'/' + name; }
    QString write(const QString &name, const QByteArray &contents) const
    {
        return XdgSandbox::writeFile(path(name), contents);
    }
    // Runs an import or export through its button and waits for it to end.
    void run(const QString &button, const QString &chosenFile)
    {
        DialogAnswers::queueFileName(chosenFile);
        QSignalSpy working(&pane(), &RSSPreferencesController::workingChanged);
        QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton);
        ASSERT_TRUE(waitFor([&] { return !pane().working(); }, 10000));
        ASSERT_EQ(working.size(), 2);
        EXPECT_TRUE(working.at(0).at(0).toBool());
        EXPECT_FALSE(working.at(1).at(0).toBool());
    }
    QStringList customNames() const
    {
        QStringList names;
        for (const auto &source : manager->datasources())
            names.append(source->customName());
        return names;
    }
    static QByteArray outlines(int count)
    {
        QByteArray body;
        for (int i = 0; i < count; ++i)
            body += "<outline type=\"rss\" title=\"F" + QByteArray::number(i) +
                    "\" xmlUrl=\"http://127.0.0.1:9/f" + QByteArray::number(i) + ".xml\"/>\n";
        return "<?xml version=\"1.0\"?><opml version=\"1.0\"><head/><body>" + body + "</body></opml>";
    }
};

TEST_F(OpmlTransferTest, ExportThenImportOnAnEmptyListRecreatesEveryFeedUnderItsDisplayName)
{
    storeFeed(u"Engadget"_s, deadUrl(u"e.xml"_s), {{u"customName"_s, u"Gadgets"_s}});
    storeFeed(u"Science"_s, deadUrl(u"s.xml"_s));
    run(u"exportOPMLButton"_s, path(u"subscriptions"_s));
    const QByteArray exported = contentsOf(path(u"subscriptions.xml"_s));
    EXPECT_TRUE(exported.contains("<title>Subscriptions in Vantrel</title>")) << exported.constData();
    EXPECT_EQ(exported.count("<outline "), 2);

    while (!manager->datasources().isEmpty())
        manager->deleteDatasource(source(0).get());
    run(u"importOPMLButton"_s, path(u"subscriptions.xml"_s));
    ASSERT_EQ(manager->datasources().size(), 2);
    EXPECT_EQ(customNames(), (QStringList{u"Gadgets"_s, u"Science"_s}));
    EXPECT_EQ(feed(0)->url(), deadUrl(u"e.xml"_s));
    EXPECT_EQ(pane().tableModel().rowCount(), 2);
    EXPECT_TRUE(alerts().isEmpty());
}

TEST_F(OpmlTransferTest, ImportTakesTheRssLeavesInsideCategoriesAndSkipsKnownAddressesQuietly)
{
    storeFeed(u"Known"_s, u"http://example.com/known.xml"_s);
    run(u"importOPMLButton"_s, write(u"nested.opml"_s, R"(<?xml version="1.0"?>
<opml version="1.0"><head><title>Mine</title></head><body>
  <outline text="News" type="rss">
    <outline type="rss" title="Inner" xmlUrl="http://example.com/inner.xml"/>
    <outline text="Deeper"><outline type="rss" xmlUrl="http://example.com/deep.xml"/></outline>
  </outline>
  <outline title="No type" xmlUrl="http://example.com/untyped.xml"/>
  <outline type="atom" title="Atom" xmlUrl="http://example.com/atom.xml"/>
  <outline type="rss" title="Again" xmlUrl="feed://example.com/known.xml"/>
</body></opml>)"));
    ASSERT_EQ(manager->datasources().size(), 3);
    EXPECT_EQ(feed(1)->url(), u"http://example.com/inner.xml"_s);
    EXPECT_EQ(source(1)->customName(), u"Inner"_s);
    EXPECT_EQ(feed(2)->url(), u"http://example.com/deep.xml"_s);
    EXPECT_TRUE(alerts().isEmpty());
    EXPECT_EQ(find<QLabel>(u"opmlStatusLabel"_s)->text(), u"2 feed(s) imported, 1 already subscribed."_s);
}

TEST_F(OpmlTransferTest, AHostileOrOversizedFileIsReportedAndAddsNothing)
{
    const QByteArray entities = R"(<?xml version="1.0"?>
<!DOCTYPE opml [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">]>
<opml version="1.0"><body><outline type="rss" title="&b;" xmlUrl="http://example.com/x.xml"/></body></opml>)";
    const QStringList files{
        write(u"entities.opml"_s, entities), write(u"huge.opml"_s, outlines(OpmlReader::maximumOutlines + 1)),
        write(u"broken.opml"_s, "<opml><body><outline type=\"rss\""), path(u"missing.opml"_s)};
    for (const QString &file : files) {
        run(u"importOPMLButton"_s, file);
        EXPECT_TRUE(manager->datasources().isEmpty()) << qPrintable(file);
    }
    const QList<QMessageBox *> shown = window->findChildren<QMessageBox *>(u"alert"_s);
    ASSERT_EQ(shown.size(), files.size());
    for (const QMessageBox *alert : shown) {
        EXPECT_EQ(alert->text(), u"The subscriptions could not be imported."_s);
        EXPECT_FALSE(alert->informativeText().isEmpty());
    }
}

TEST_F(OpmlTransferTest, CancellingAnImportKeepsWhatWasAddedAndAddsNoMore)
{
    const QString file = write(u"many.opml"_s, outlines(400));
    pane();
    auto *progress = find<QProgressBar>(u"opmlProgress"_s);
    auto *cancel = find<QPushButton>(u"opmlCancelButton"_s);
    // Cancelled as soon as the first feeds are in.
    QObject::connect(progress, &QProgressBar::valueChanged, cancel, [&](int value) {
        if (value > 0 && cancel->isVisible())
            QTest::mouseClick(cancel, Qt::LeftButton);
    });
    DialogAnswers::queueFileName(file);
    QTest::mouseClick(find<QPushButton>(u"importOPMLButton"_s), Qt::LeftButton);
    EXPECT_TRUE(pane().working());
    EXPECT_TRUE(progress->isVisible());
    ASSERT_TRUE(waitFor([&] { return !pane().working(); }));
    EXPECT_FALSE(progress->isVisible());
    const qsizetype added = manager->datasources().size();
    EXPECT_EQ(added, OpmlImportJob::feedsPerStep);
    QTest::qWait(50);
    EXPECT_EQ(manager->datasources().size(), added);
    EXPECT_TRUE(find<QLabel>(u"opmlStatusLabel"_s)->text().endsWith(u"then cancelled."_s));
}

TEST_F(OpmlTransferTest, ExportingNoFeedsWritesAnEmptyBody)
{
    run(u"exportOPMLButton"_s, path(u"empty.xml"_s));
    const QByteArray exported = contentsOf(path(u"empty.xml"_s));
    EXPECT_TRUE(exported.contains("<opml version=\"1.0\">")) << exported.constData();
    EXPECT_FALSE(exported.contains("<outline"));
}

TEST_F(OpmlTransferTest, AFailedExportIsReported)
{
    storeFeed(u"Engadget"_s, deadUrl(u"e.xml"_s));
    run(u"exportOPMLButton"_s, path(u"no-such-folder/out.xml"_s));
    const QList<QMessageBox *> shown = window->findChildren<QMessageBox *>(u"alert"_s);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first()->text(), u"The subscriptions could not be exported."_s);
    EXPECT_TRUE(shown.first()->informativeText().contains(u"out.xml"_s));
    EXPECT_FALSE(QFile::exists(path(u"no-such-folder/out.xml"_s)));
}

} // namespace
