#include "app/defaultsettings.h"

#include "platform/archive.h"
#include "platform/settingskeys.h"
#include "support/stringadditions.h"

#include <QColor>
#include <QImage>

using namespace Qt::StringLiterals;

namespace {
QVariant colour(float red, float green, float blue, float alpha)
{
    return Archive::archiveColor(QColor::fromRgbF(red, green, blue, alpha));
}
} // namespace

QList<std::pair<QString, QVariant>> DefaultSettings::registeredDefaults()
{
    namespace K = SettingsKey;
    return {
        {K::ageLimit, 7},
        {K::limit, 500},
        {K::refreshRate, 2},
        {K::fontSize, 12},
        {K::itemHeight, 78},
        {K::imageWidth, 65},
        {K::opacity, 0.75},
        {K::gradientAngle, -1.0},
        {K::backgroundColor, colour(0, 0, 0, 1)},
        {K::fontColor, colour(1, 1, 1, 1)},
        {K::markFontColor, colour(1.0f, 0.8f, 0.4f, 1.0f)},
        {K::fontName, u"Helvetica"_s},
        {K::displayImage, true},
        {K::showInDock, true},
        {K::enablePreview, true},
        {K::receiveTimeStamp, true},
        {K::scrollToTopInterval, 120},
        {K::keywords, QVariantList{u"breaking news"_s, u"Apple"_s}},
        {K::notificationCenterLevel, 5},
        {K::checkHandlerOnStartup, true},
        // Read by the ticker window; registered so that every reader sees a typed value.
        {K::location, 0},
        {K::alwaysOnTop, false},
        {K::autoHide, false},
        {K::reachabilityHost, u"www.wikipedia.org"_s},
        {K::googleReaderURL, u"https://www.google.com/"_s},
    };
}

QVariantList DefaultSettings::defaultFeedList()
{
    const QVariantMap engadget{
        {u"url"_s, u"http://www.engadget.com/rss.xml"_s},
        {u"customName"_s, u"Engadget"_s},
        {u"name"_s, u"Engadget"_s},
        {u"uuid"_s, StringAdditions::uuid()},
        {u"image"_s, Archive::archiveImage(QImage(u":/images/engadget"_s))},
    };
    return {engadget};
}
