#pragma once

#include "model/entry/dataitem.h"
#include "model/entry/itemkeys.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

// Shared set-up of the manager benchmarks: a throw-away home and realistic entries.
namespace ManagerBenchData {

inline constexpr qint64 now = 1780000000;

// Points the configuration and caches folders into a temporary folder for the whole run.
inline QTemporaryDir &temporaryHome()
{
    static QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_CACHE_HOME", (home.path() + QStringLiteral("/cache")).toUtf8());
    return home;
}

inline QString words(QRandomGenerator &random, int characters)
{
    static const QStringList vocabulary = {
        QStringLiteral("government"),  QStringLiteral("announced"), QStringLiteral("market"),
        QStringLiteral("the"),         QStringLiteral("of"),        QStringLiteral("and"),
        QStringLiteral("résumé"),      QStringLiteral("weather"),   QStringLiteral("Council"),
        QStringLiteral("report"),      QStringLiteral("energy"),    QStringLiteral("Zürich"),
        QStringLiteral("election"),    QStringLiteral("science"),   QStringLiteral("a"),
        QStringLiteral("new"),         QStringLiteral("study"),     QStringLiteral("shows"),
        QStringLiteral("that"),        QStringLiteral("city"),      QStringLiteral("league"),
        QStringLiteral("final"),       QStringLiteral("café"),      QStringLiteral("budget"),
        QStringLiteral("researchers"), QStringLiteral("minister"),  QStringLiteral("<p>"),
        QStringLiteral("</p>")};
    QString text;
    text.reserve(characters + 16);
    while (text.size() < characters) {
        if (!text.isEmpty())
            text += u' ';
        text += vocabulary.at(random.bounded(qsizetype(vocabulary.size())));
    }
    return text;
}

// Entry `index` of feed `feed`: a title of about 60 characters, a description of about 900,
// dated within the last week, newest first.
inline DataItemPtr entry(QRandomGenerator &random, int feed, int index)
{
    auto item = std::make_shared<DataItem>();
    item->setObject(words(random, 60), ItemKey::title);
    item->setObject(words(random, 900), ItemKey::description);
    item->setObject(QStringLiteral("https://news.example/%1/%2").arg(feed).arg(index), ItemKey::link);
    item->setObject(QStringLiteral("entry-%1-%2").arg(feed).arg(index), ItemKey::guid);
    const qint64 secondsAgo = qint64(index) * 3000 + random.bounded(3000);
    const QDateTime date = QDateTime::fromSecsSinceEpoch(now - secondsAgo, Qt::UTC);
    item->setObject(date, ItemKey::parsedDate);
    item->setObject(date, ItemKey::originalDate);
    item->setObject(date.toString(Qt::RFC2822Date), ItemKey::pubDate);
    return item;
}

// The benchmarks' main: an application for the manager's timers and signals, and the data built
// before the first measurement rather than inside it.
template <typename Prepare> int runBenchmarks(int argc, char **argv, Prepare prepare)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    prepare();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace ManagerBenchData
