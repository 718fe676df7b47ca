#pragma once

#include "platform/desktop/urlschemehandlers.h"

// URL-scheme handlers from the desktop files and mimeapps.list (see MimeApps), read afresh at each
// call so that changes made by other programs are seen.
class XdgUrlSchemeHandlers final : public UrlSchemeHandlers {
public:
    QStringList allHandlers(const QString &scheme) const override;
    QString defaultHandler(const QString &scheme) const override;
    bool setDefaultHandler(const QString &scheme, const QString &applicationId, QString *error) override;
    QString displayName(const QString &applicationId) const override;
    QString applicationPath(const QString &applicationId) const override;
};
