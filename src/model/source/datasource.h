#pragma once

#include "model/entry/dataitem.h"
#include "model/entry/itemsource.h"
#include "model/source/feedsettings.h"
#include "model/source/keywordmarker.h"
#include "model/source/keywordpredicate.h"
#include "model/source/sourceentries.h"

#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QVariantMap>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

class ItemFileReadAhead;

class Clock;
class DatasourceDelegate;
class RefreshEnvironment;
class UserDefaults;

// One subscription as the rest of the program sees it: the source's entries in display order
// (index 0 newest), its per-feed settings inside the "feeds" setting, its item file, arrival
// numbers, keyword marks, visible count and refresh bookkeeping. How a feed is fetched is left to
// the subclass (updateData, firstRun, reset).
//
// Threads: the main thread changes settings and names and runs _updateMark; a refresh thread
// files entries; the manager's merge worker reads under lock(). The locks and their order are in
// model/manager/lockorder.h.
class Datasource : public QObject, public ItemSource, public std::enable_shared_from_this<Datasource> {
    Q_OBJECT
public:
    // A source for one element of "feeds", or, without a configuration, a new feed appended to
    // "feeds" with a fresh uuid. Subclasses finish construction by calling their reset(); the
    // owner then shares the source and calls load(), since entries refer to it weakly. The
    // environment (the owner) outlives the source.
    Datasource(const std::optional<QVariantMap> &configuration, UserDefaults &defaults, const Clock &clock,
               RefreshEnvironment &environment, QObject *parent = nullptr);
    ~Datasource() override;

    // The source an entry refers to, or nullptr when it has none or it is gone.
    static std::shared_ptr<Datasource> of(const DataItem &item);

    // Settings
    void loadGeneralDefaults();
    QVariant getUserDefaultsForKey(const QString &key, bool returnNil = false) const;
    void setUserDefaults(const QVariant &value, const QString &key);

    QString uuid() const { return m_uuid; }
    QString name() const override;
    void setName(const QString &name);
    QString customName() const override;
    void setCustomName(const QString &customName);
    QColor fontColor() const;
    QColor backGroundColor() const;
    QImage image() const;
    void setImage(const QImage &image);
    bool isEnabled() const { return m_enabled.load(); }
    void setEnabled(bool enabled);
    bool insertMode() const { return m_insertMode.load(); }
    void setInsertMode(bool insertMode) { m_insertMode.store(insertMode); }
    DatasourceDelegate *delegate() const { return m_delegate.load(); }
    void setDelegate(DatasourceDelegate *delegate) { m_delegate.store(delegate); }
    // The per-feed refresh interval in minutes; never below 1.
    int refreshRate() const;
    virtual bool isTwitter() const { return false; }

    // Items
    int numberOfItems();
    DataItemPtr objectAtIndex(int index) const;
    QVariant objectValueForKeyAtIndex(const QString &key, int index) const;
    QList<DataItemPtr> items() const;
    // Files the entry: at the top in insert mode, otherwise by the ordered insertion. The source
    // must be shared (its entries refer to it weakly).
    void addItem(const DataItemPtr &item);
    // The ordered insertion into any list: placed before the first element with a non-zero number
    // smaller than the entry's or an earlier date; an entry without a number takes that
    // element's when the date decided.
    void addItemToArray(const DataItemPtr &item, QList<DataItemPtr> &array);
    void removeItem(const DataItemPtr &item);
    void markItem(const DataItemPtr &item);
    void unmarkItems();
    void removeUnmarked();
    // Un-numbers the items numbered before the last three arrival numbers handed out.
    void removeSequence();

    // Persistence and refresh bookkeeping
    // Replaces the entries with those of the item file, if there is one; taken from the
    // read-ahead when it holds the file.
    void load(ItemFileReadAhead *readAhead = nullptr);
    // Writes the item file. False when it could not be written: the old file stays, and the
    // reason becomes the source's error text (and saveErrorString) until a save succeeds. An
    // existing file that could not be read at load is never replaced.
    bool sync();
    QString saveErrorString() const;
    // Called on the main thread when a refresh ends.
    void setLastUpdateDate(bool success);
    QDateTime lastUpdatedAt() const;
    QString errorString() const;
    void setErrorString(const QString &errorString);

    // Subclass operations
    // Starts a refresh if one is due; false only when none could start for want of capacity.
    virtual bool updateData() = 0;
    // True while a refresh asked for out of turn waits for a free slot.
    virtual bool refreshRequested() const { return false; }
    // True until the source has refreshed successfully since its creation or its last reset().
    virtual bool firstRun() const = 0;
    virtual void reset() = 0;

    // The source lock; recursive, since filing an entry nests item operations.
    std::recursive_mutex &lock() const { return m_lock; }
    // The items themselves; the caller holds lock().
    const QList<DataItemPtr> &itemsLocked() const { return m_entries.list(); }

protected:
    UserDefaults &defaults() const { return m_defaults; }
    const Clock &clock() const { return m_clock; }
    RefreshEnvironment &environment() const { return m_environment; }

private:
    void loadGeneralDefaults(const QVariantMap &entry);
    void _updateMark();
    void _setCurrentDateIfNeeded(DataItem &item);
    void keywordsDidChange(const QVariant &keywords);
    KeywordPredicate keywordPredicate() const;
    void reportItemsDidChange();
    void postConfigurationDidChange();
    void noteSaveResult(const QString &error);
    int countVisibleItems();

    UserDefaults &m_defaults;
    const Clock &m_clock;
    RefreshEnvironment &m_environment;
    const QString m_uuid;
    FeedSettings m_settings;

    // The ordered insertion into the source's own list, placed by the filing index.
    void fileInOrderLocked(const DataItemPtr &item);
    // Gives an entry without a number the one it inherits; stamps one with a number.
    void takePlace(DataItem &item, int inherited);

    bool keywordMarkLocked(const KeywordPredicate &predicate, const QByteArray &foldedItemText);

    mutable std::recursive_mutex m_lock;
    SourceEntries m_entries;
    QString m_keptFileReason;      // why the item file, which could not be read, must not be replaced
    KeywordMarker m_keywordMarker; // used under m_fieldLock too, which holds the names it reads
    QSet<const DataItem *> m_markedItems;
    QImage m_image;

    mutable std::mutex m_fieldLock; // names, colours, limits, keywords
    QString m_name;
    QString m_customName;
    QColor m_fontColor;
    QColor m_backGroundColor;
    int m_limit = 0;
    int m_ageLimit = 0;
    KeywordPredicate m_keywords;

    mutable std::mutex m_lastUpdateLock;
    QDateTime m_lastUpdateDate;
    mutable std::mutex m_errorLock;
    QString m_errorString;
    QString m_saveErrorString;

    quint64 m_keywordsObservation = 0;
    std::atomic<DatasourceDelegate *> m_delegate = nullptr;
    std::atomic<int> m_itemCount = -1;
    std::atomic<bool> m_enabled = true;
    std::atomic<bool> m_insertMode = false;
};
