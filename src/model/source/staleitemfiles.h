#pragma once

#include <QString>
#include <QStringList>

class Clock;

// Item files of feeds that are missing from "feeds" wait in the folder "stale" beside the item
// files for keptDays before they are deleted: a feed list lost or edited by mistake can be put
// back, and its feeds find their entries again.
class StaleItemFiles {
public:
    static constexpr int keptDays = 30;

    explicit StaleItemFiles(const Clock &clock);

    QString folder() const { return m_folder; }

    // Moves the stale file of each of these feeds whose own item file is missing back in place.
    void restore(const QStringList &uuids) const;
    // Moves every item file that belongs to none of these feeds into the stale folder, dated now.
    void setAsideAllBut(const QStringList &uuids) const;
    // Deletes the stale files set aside more than keptDays ago.
    void deleteExpired() const;

private:
    void touch(const QString &path) const;

    const Clock &m_clock;
    QString m_itemFolder;
    QString m_folder;
};
