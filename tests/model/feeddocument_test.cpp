// Every document in feeds/ is read by a feed source, and what the source files is compared with the
// .expected dump beside it (see feeds/README.md). A missing dump is written as .expected.new, to be
// read and renamed by whoever adds the case.
#include "common/temphome.h"
#include "model/entry/itemkeys.h"
#include "model/parse/feedparser.h"
#include "model/source/rssdatasource.h"
#include "model/testenvironment.h"
#include "platform/manualclock.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The list of cases is made when the tests are listed, which CTest does without its environment:
// then the folder is found next to this file.
QString feedsFolder()
{
    const QString sourceDir = qEnvironmentVariable("VANTREL_SOURCE_DIR");
    if (!sourceDir.isEmpty())
        return sourceDir + u"/tests/model/feeds"_s;
    return QFileInfo(QString::fromUtf8(__FILE__)).absolutePath() + u"/feeds"_s;
}

std::vector<std::string> caseNames()
{
    std::vector<std::string> names;
    const QStringList files = QDir(feedsFolder()).entryList({u"*.xml"_s}, QDir::Files, QDir::Name);
    for (const QString &file : files)
        names.push_back(file.chopped(4).toStdString());
    return names;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Text quoted on one line; characters that cannot be seen, or look like others, are escaped.
QString quoted(const QString &text)
{
    QString out = u"\""_s;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'"' || u == u'\\')
            out += u'\\' + QString(c);
        else if (u == u'\n')
            out += u"\\n"_s;
        else if (u == u'\t')
            out += u"\\t"_s;
        else if (u < 0x20 || (u >= 0x7F && u <= 0xA0) || u == 0xAD || u == 0xFEFF || u == 0xFFFD ||
                 (u >= 0x2000 && u <= 0x200F) || u == 0x2028 || u == 0x2029)
            out += u"\\u"_s + QString::number(u, 16).toUpper().rightJustified(4, u'0');
        else
            out += c;
    }
    return out + u'"';
}

QString dumpValue(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime().toUTC().toString(Qt::ISODateWithMs);
    if (value.metaType().id() == QMetaType::QString)
        return quoted(value.toString());
    return value.toString();
}

// What the source holds: its name, then each entry: whether a keyword marks it, and its keys in order.
QString dumpSource(const RSSDatasource &source, const QString &parseError)
{
    QStringList lines{u"title: "_s + quoted(source.name())};
    if (!parseError.isEmpty())
        lines.append(u"error: "_s + parseError);
    const QList<DataItemPtr> items = source.items();
    lines.append(u"entries: %1"_s.arg(items.size()));
    for (const DataItemPtr &item : items) {
        lines.append(u"entry"_s);
        lines.append(u"  keyword mark: "_s + (item->mark() ? u"yes"_s : u"no"_s));
        const QVariantMap values = item->dictionary();
        for (auto it = values.begin(); it != values.end(); ++it) {
            if (it.key() != ItemKey::name)
                lines.append(u"  "_s + it.key() + u": "_s + dumpValue(it.value()));
        }
    }
    return lines.join(u'\n') + u'\n';
}

class FeedDocumentTest : public testing::TestWithParam<std::string> {
protected:
    FeedDocumentTest()
        : defaults(home.configHome() + u"/vantrel"_s),
          clock(QDateTime(QDate(2026, 12, 6), QTime(12, 0), Qt::UTC))
    {
        defaults.registerDefaults({{SettingsKey::ageLimit, 0},
                                   {SettingsKey::limit, 0},
                                   {SettingsKey::refreshRate, 2},
                                   {SettingsKey::receiveTimeStamp, false},
                                   {SettingsKey::keywords, QVariantList{u"storm"_s}}});
        // Nothing reaches the network: icon downloads give up at once.
        environment.pool.close();
    }

    // The document read in pieces of the given size (the whole at once when 0), as a refresh reads it.
    QString readAndDump(const QByteArray &document, const QByteArray &httpCharset, qsizetype pieceSize)
    {
        const QVariantMap entry{{u"uuid"_s, u"FEED-%1"_s.arg(++sourceCount)},
                                {u"url"_s, u"http://feeds.example.org/news/rss.xml"_s}};
        const auto source = RSSDatasource::create(entry, defaults, clock, environment);
        source->beginRefresh();
        FeedParser parser(source->entryHandler(), FeedParser::Options{std::chrono::nanoseconds::zero()});
        parser.setHttpCharset(httpCharset);
        const qsizetype step = pieceSize > 0 ? pieceSize : std::max<qsizetype>(document.size(), 1);
        for (qsizetype offset = 0; offset < document.size(); offset += step)
            parser.feed(QByteArrayView(document).sliced(offset, std::min(step, document.size() - offset)));
        if (parser.finish())
            source->fileEntries();
        source->endRefresh();
        return dumpSource(*source, parser.errorString());
    }

    TempHome home;
    UserDefaults defaults;
    ManualClock clock;
    TestEnvironment environment;
    int sourceCount = 0;
};

TEST_P(FeedDocumentTest, filesWhatTheExpectedDumpSays)
{
    const QString base = feedsFolder() + u'/' + QString::fromStdString(GetParam());
    const QByteArray document = readFile(base + u".xml"_s);
    const QByteArray httpCharset = readFile(base + u".charset"_s).trimmed();
    const QString dump = readAndDump(document, httpCharset, 0);

    QFile expected(base + u".expected"_s);
    if (!expected.open(QIODevice::ReadOnly)) {
        QFile fresh(base + u".expected.new"_s);
        ASSERT_TRUE(fresh.open(QIODevice::WriteOnly)) << fresh.errorString().toStdString();
        fresh.write(dump.toUtf8());
        FAIL() << "no " << GetParam() << ".expected; read " << fresh.fileName().toStdString()
               << " and rename it if it is right";
    }
    EXPECT_EQ(dump.toStdString(), QString::fromUtf8(expected.readAll()).toStdString());
    // Where the network cuts the document must not matter.
    EXPECT_EQ(readAndDump(document, httpCharset, 1).toStdString(), dump.toStdString()) << "read byte by byte";
}

INSTANTIATE_TEST_SUITE_P(Feeds, FeedDocumentTest, testing::ValuesIn(caseNames()),
                         [](const testing::TestParamInfo<std::string> &param) {
                             std::string name = param.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
