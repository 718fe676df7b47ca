#include "common/qtprinters.h"
#include "common/temphome.h"
#include "model/entry/itemkeys.h"
#include "model/testenvironment.h"
#include "model/testsource.h"
#include "platform/manualclock.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QDateTime start = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);

struct Place {
    qsizetype position;
    int inherited;
};

// The ordered insertion as the design states it: walk from the top and stop before the first
// element that has a non-zero number smaller than the entry's, or an earlier date; the entry
// inherits that element's number when the date decided.
Place walk(const QList<DataItemPtr> &list, int sequence, const QDateTime &date)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        const int elementSequence = list.at(i)->objectForKey(ItemKey::sequence).toInt();
        if (elementSequence != 0 && elementSequence < sequence)
            return {i, 0};
        const QDateTime elementDate = list.at(i)->parsedDate();
        if (elementDate.isValid() && date.isValid() && elementDate < date)
            return {i, elementSequence};
    }
    return {list.size(), 0};
}

} // namespace

// Filing in order, however the list came to be as it is, puts every entry where the walk does.
class OrderedFilingTest : public testing::Test {
protected:
    OrderedFilingTest() : defaults(home.configHome() + u"/vantrel"_s), clock(start)
    {
        defaults.registerDefaults({{SettingsKey::ageLimit, 7},
                                   {SettingsKey::limit, 0},
                                   {SettingsKey::refreshRate, 2},
                                   {SettingsKey::receiveTimeStamp, false},
                                   {SettingsKey::keywords, QVariantList()}});
        const QVariantMap entry{{u"uuid"_s, u"ORDER"_s}};
        defaults.setObject(QVariantList{entry}, SettingsKey::feeds);
        source = TestSource::create(entry, defaults, clock, environment);
    }

    DataItemPtr entry(const QDateTime &date, int sequence = 0)
    {
        auto item = std::make_shared<DataItem>();
        item->setObject(u"entry %1"_s.arg(++made), ItemKey::title);
        if (date.isValid())
            item->setObject(date, ItemKey::parsedDate);
        if (sequence != 0)
            item->setObject(sequence, ItemKey::sequence);
        return item;
    }

    // Files the entry as history and checks it against the walk over the list as it was.
    void fileAndCompare(const DataItemPtr &item)
    {
        const int sequence = item->objectForKey(ItemKey::sequence).toInt();
        const Place expected = walk(source->items(), sequence, item->parsedDate());
        source->setInsertMode(false);
        source->addItem(item);
        ASSERT_EQ(source->items().indexOf(item), expected.position) << "entry " << made;
        if (sequence == 0) {
            ASSERT_EQ(item->objectForKey(ItemKey::sequence).toInt(), expected.inherited) << "entry " << made;
        }
    }

    TempHome home;
    UserDefaults defaults;
    ManualClock clock;
    TestEnvironment environment;
    std::shared_ptr<TestSource> source;
    int made = 0;
};

TEST_F(OrderedFilingTest, anEntryNumberedAfterFilingStillStopsALaterNumberedOne)
{
    const DataItemPtr newest = entry(start.addSecs(-3600));
    fileAndCompare(newest);
    fileAndCompare(entry(start.addSecs(-2 * 3600)));
    newest->setObject(environment.refreshPool().nextSequence(), ItemKey::sequence); // the ticker releases it

    // An update of a later arrival keeps that arrival's number and is filed by it.
    fileAndCompare(entry(start.addSecs(-5 * 3600), environment.refreshPool().nextSequence()));
    EXPECT_EQ(source->items().indexOf(newest), 1);
}

TEST_F(OrderedFilingTest, undatedEntriesOfOneMomentKeepTheirDocumentOrder)
{
    for (int i = 0; i < 50; ++i)
        fileAndCompare(entry(start));
    fileAndCompare(entry(QDateTime()));
    fileAndCompare(entry(start.addSecs(1)));
}

// Lists built by every operation that changes them, in random order; each history entry is
// compared with the walk.
TEST_F(OrderedFilingTest, randomListsFileLikeTheWalk)
{
    for (quint32 seed = 1; seed <= 12; ++seed) {
        QRandomGenerator random(seed);
        const QVariantMap entry{{u"uuid"_s, u"RANDOM-%1"_s.arg(seed)}};
        defaults.setObject(QVariantList{entry}, SettingsKey::feeds);
        source = TestSource::create(entry, defaults, clock, environment);
        auto randomDate = [&] {
            const int choice = random.bounded(20);
            if (choice == 0)
                return QDateTime();
            if (choice < 4)
                return start; // many entries of one moment, like undated ones
            if (choice < 6)
                return start.addDays(-random.bounded(1, 30)); // older than most
            return start.addSecs(-qint64(random.bounded(48)) * 900);
        };
        auto anyEntry = [&] { return source->items().at(random.bounded(int(source->items().size()))); };
        const int lowestNumber =
            seed % 2 ? 1 : -3; // feeds may bring numbers of their own, even negative ones
        for (int step = 0; step < 400; ++step) {
            const int operation = random.bounded(100);
            const bool empty = source->items().isEmpty();
            if (operation < 55 || empty) {
                const int choice = random.bounded(10);
                const int sequence = choice == 0
                                         ? environment.refreshPool().currentSequence() - random.bounded(5)
                                     : choice == 1 ? random.bounded(lowestNumber, 40)
                                                   : 0;
                ASSERT_NO_FATAL_FAILURE(fileAndCompare(this->entry(randomDate(), sequence)))
                    << "seed " << seed;
            } else if (operation < 65) {
                source->setInsertMode(true);
                source->addItem(this->entry(randomDate()));
            } else if (operation < 78) {
                anyEntry()->setObject(environment.refreshPool().nextSequence(), ItemKey::sequence);
            } else if (operation < 83) {
                anyEntry()->setObject(random.bounded(lowestNumber, 40), ItemKey::sequence);
            } else if (operation < 86) {
                anyEntry()->setObject(randomDate(), ItemKey::parsedDate);
            } else if (operation < 94) {
                source->removeItem(anyEntry());
            } else if (operation < 96) {
                source->removeSequence();
            } else if (operation < 98) {
                source->unmarkItems();
                for (const DataItemPtr &kept : source->items())
                    if (random.bounded(3) != 0)
                        source->markItem(kept);
                for (int fetch = 0; fetch < 6; ++fetch)
                    source->removeUnmarked();
            } else {
                defaults.setObject(!defaults.boolForKey(SettingsKey::receiveTimeStamp),
                                   SettingsKey::receiveTimeStamp);
                clock.advance(60 * 1000);
            }
        }
    }
}
