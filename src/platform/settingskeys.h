#pragma once

#include <QLatin1String>

// Every key of the settings store, as the exact string stored on disk.
namespace SettingsKey {
inline constexpr QLatin1String ageLimit{"ageLimit"};
inline constexpr QLatin1String limit{"limit"};
inline constexpr QLatin1String refreshRate{"refreshRate"};
inline constexpr QLatin1String fontSize{"fontSize"};
inline constexpr QLatin1String itemHeight{"itemHeight"};
inline constexpr QLatin1String imageWidth{"imageWidth"};
inline constexpr QLatin1String opacity{"opacity"};
inline constexpr QLatin1String gradientAngle{"gradientAngle"};
inline constexpr QLatin1String backgroundColor{"backgroundColor"};
inline constexpr QLatin1String fontColor{"fontColor"};
inline constexpr QLatin1String markFontColor{"markFontColor"};
inline constexpr QLatin1String fontName{"fontName"};
inline constexpr QLatin1String displayImage{"displayImage"};
inline constexpr QLatin1String showInDock{"showInDock"};
inline constexpr QLatin1String enablePreview{"enablePreview"};
inline constexpr QLatin1String receiveTimeStamp{"receiveTimeStamp"};
inline constexpr QLatin1String scrollToTopInterval{"scrollToTopInterval"};
inline constexpr QLatin1String keywords{"keywords"};
inline constexpr QLatin1String notificationCenterLevel{"NotificationCenterLevel"};
inline constexpr QLatin1String checkHandlerOnStartup{"CheckHandlerOnStartup"};

inline constexpr QLatin1String feeds{"feeds"};
inline constexpr QLatin1String appleShowScrollBars{"AppleShowScrollBars"};
inline constexpr QLatin1String firstRun{"firstRun"};
inline constexpr QLatin1String soundName{"soundName"};
inline constexpr QLatin1String openInActiveTab{"openInActiveTab"};
inline constexpr QLatin1String prevVersion{"prevVersion"};
inline constexpr QLatin1String starred{"starred"};
inline constexpr QLatin1String location{"location"};
inline constexpr QLatin1String alwaysOnTop{"alwaysOnTop"};
inline constexpr QLatin1String autoHide{"autoHide"};
// Row colour of headlines that match a keyword; absent means none.
inline constexpr QLatin1String markBackgroundColor{"markBackgroundColor"};
// Feed icons drawn small, on a headline's source line.
inline constexpr QLatin1String smallImage{"smallImage"};
// The name of the screen the bar docks on (QScreen::name()); absent means the primary screen.
inline constexpr QLatin1String screen{"screen"};
// The host whose reachability decides whether refresh rounds run.
inline constexpr QLatin1String reachabilityHost{"reachabilityHost"};
// Base address of the reader service (login and API); its scheme is used for every request.
inline constexpr QLatin1String googleReaderURL{"googleReaderURL"};
// When the last complete push of subscription edits to the reader service ended.
inline constexpr QLatin1String lastGoogleSync{"lastGoogleSync"};
// Every headline brought in sounds, not only those that match a keyword; absent means no.
inline constexpr QLatin1String alwaysPlaySound{"alwaysPlaySound"};
// Arrivals and fades of the bar happen at once; absent means the desktop's own choice.
inline constexpr QLatin1String reduceMotion{"reduceMotion"};
// The docked bar keeps maximised windows off its screen edge.
inline constexpr QLatin1String reserveScreenEdge{"reserveScreenEdge"};
} // namespace SettingsKey
