#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <memory>
#include <optional>

// One category (folder or label) of the reader service. One listing shares one object per category id
// among all subscriptions that name it.
struct BSGoogleReaderCategory {
    QString itemID;
    // The latest non-empty label seen for the id; none while no label was seen.
    std::optional<QString> title;
};

// One subscription of the account, as listed by the reader service.
struct BSGoogleReaderSubscription {
    QString itemID; // "feed/" followed by the feed address, as the service returns it
    QUrl feedURL;   // the id without its leading "feed/"
    QString title;  // "" when the service gave none
    QList<std::shared_ptr<BSGoogleReaderCategory>> categories; // in the order returned; empty when none
};
