#include "app/whatsnewcheck.h"

#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <limits>

int WhatsNewCheck::numericValue(const QString &version)
{
    const QString trimmed = version.trimmed();
    qsizetype digits = 0;
    while (digits < trimmed.size() && trimmed.at(digits).unicode() >= u'0' &&
           trimmed.at(digits).unicode() <= u'9')
        ++digits;
    bool ok = false;
    const qlonglong value = trimmed.left(digits).toLongLong(&ok);
    if (!ok)
        return digits > 0 ? std::numeric_limits<int>::max() : 0; // only an overlong number fails
    return value > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : int(value);
}

bool WhatsNewCheck::recordLaunch(UserDefaults &defaults, const QString &bundleVersion)
{
    const int previous = numericValue(defaults.stringForKey(SettingsKey::prevVersion));
    defaults.setObject(bundleVersion, SettingsKey::prevVersion);
    return previous < numericValue(bundleVersion);
}
