#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <utility>

// The settings Vantrel starts from.
namespace DefaultSettings {
// The registered defaults, in registration order.
QList<std::pair<QString, QVariant>> registeredDefaults();
// The subscription list of a first launch: the Engadget feed with a fresh uuid and its icon.
QVariantList defaultFeedList();
} // namespace DefaultSettings
