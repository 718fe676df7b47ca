#pragma once

#include <QVariantList>

class UserDefaults;

// A feed's uuid names its item file, and deleting the feed sets that file aside: two feeds that
// shared a uuid would share one file and lose it together.
class FeedUuids {
public:
    // Gives each element of "feeds" whose uuid is empty or repeats an earlier element's a fresh
    // one (logged), stores the list back when it changed, and returns it.
    static QVariantList makeDistinct(UserDefaults &defaults);
};
