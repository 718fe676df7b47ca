#include "rowfixture.h"

#include "platform/archive.h"

#include <QCursor>
#include <QTimeZone>
#include <QUuid>

#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

QVariantMap applicationDefaults()
{
    namespace K = SettingsKey;
    return {
        {K::fontSize, 12},
        {K::imageWidth, 65},
        {K::opacity, 0.75},
        {K::gradientAngle, -1.0},
        {K::backgroundColor, Archive::archiveColor(QColor::fromRgbF(0, 0, 0, 1))},
        {K::fontColor, Archive::archiveColor(QColor::fromRgbF(1, 1, 1, 1))},
        {K::markFontColor, Archive::archiveColor(QColor::fromRgbF(1.0f, 0.8f, 0.4f, 1.0f))},
        {K::fontName, u"DejaVu Sans"_s},
        {K::displayImage, true},
        {K::enablePreview, true},
        {K::keywords, QVariantList{u"storm"_s}},
        {K::location, 0},
        {K::limit, 500},
        {K::ageLimit, 0},
        {K::refreshRate, 2},
    };
}

} // namespace

RowFixture::RowFixture()
    : context{.settings = settings,
              .clock = clock,
              .preview = preview,
              .stars = &stars,
              .openInBrowser = [this](const DataItem &item) { opened.append(&item); },
              .shareActions =
                  [this](const DataItemPtr &item, QObject *parent) {
                      shared.append(item);
                      QList<QAction *> actions;
                      if (!item->link().isEmpty())
                          actions.append(new QAction(u"Copy Link"_s, parent));
                      return actions;
                  }}
{
    hadTimeZone = qEnvironmentVariableIsSet("TZ");
    savedTimeZone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    defaults.registerDefaults(applicationDefaults());
    // The pointer stays away unless a test moves it.
    QCursor::setPos(1000, 1000);
    window.move(0, 0);
    window.resize(rowWidth, 400);
    clip->resize(rowWidth, 400);
    clip->setDocumentView(list);
    list->setFrameSize(QSize(rowWidth, rowHeight));
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
}

RowFixture::~RowFixture()
{
    QLocale::setDefault(QLocale::system());
    if (hadTimeZone)
        qputenv("TZ", savedTimeZone);
    else
        qunsetenv("TZ");
}

QDateTime RowFixture::berlin(int year, int month, int day, int hour, int minute)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), QTimeZone("Europe/Berlin")).toUTC();
}

void RowFixture::deliverNotifications()
{
    QCoreApplication::processEvents();
}

std::shared_ptr<TestSource> RowFixture::addFeed(const QString &name, const QVariantMap &extra)
{
    QVariantMap configuration{{u"uuid"_s, QUuid::createUuid().toString(QUuid::WithoutBraces)},
                              {u"name"_s, name},
                              {u"url"_s, QString(u"http://127.0.0.1/"_s + name)}};
    for (auto it = extra.cbegin(); it != extra.cend(); ++it)
        configuration.insert(it.key(), Archive::archive(it.value()).isEmpty()
                                           ? it.value()
                                           : QVariant(Archive::archive(it.value())));
    QVariantList all = defaults.arrayForKey(SettingsKey::feeds);
    all.append(configuration);
    defaults.setObject(all, SettingsKey::feeds);
    auto feed = TestSource::create(configuration, defaults, clock, environment);
    feeds.append(feed);
    return feed;
}

DataItemPtr RowFixture::entry(const std::shared_ptr<TestSource> &feed, const QString &title,
                              const QDateTime &date)
{
    auto item = std::make_shared<DataItem>();
    item->setObject(title, ItemKey::title);
    item->setObject(QString(u"https://example.org/"_s + QString::number(quintptr(item.get()))),
                    ItemKey::link);
    item->setObject(date.isValid() ? date : clock.now().addSecs(-60), ItemKey::parsedDate);
    if (feed)
        feed->addItem(item);
    return item;
}

void RowFixture::setRowCount(int count)
{
    list->setFrameSize(QSize(rowWidth, count * rowHeight));
}

DataItemView *RowFixture::row(const DataItemPtr &item, int index)
{
    if (list->height() < index * rowHeight)
        setRowCount(index);
    auto *view = new DataItemView(context);
    list->setSubviewFrame(view, QRect(0, (index - 1) * rowHeight, rowWidth, rowHeight));
    view->setIndex(index);
    view->setDataItem(item);
    view->show();
    return view;
}
