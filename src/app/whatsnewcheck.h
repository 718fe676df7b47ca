#pragma once

#include <QString>

class UserDefaults;

// Whether this start follows an upgrade. Versions compare by the number their leading decimal
// digits make ("12b" is 12); a missing or non-numeric version counts as 0.
namespace WhatsNewCheck {
int numericValue(const QString &version);
// True when the stored "prevVersion" is lower than `bundleVersion`; records `bundleVersion` as
// "prevVersion" in every case.
bool recordLaunch(UserDefaults &defaults, const QString &bundleVersion);
} // namespace WhatsNewCheck
