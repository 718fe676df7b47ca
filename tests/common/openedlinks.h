#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

// Receives every link the program hands to the desktop while it lives, for the schemes a feed
// might use: a link that reaches it would have been opened.
class OpenedLinks : public QObject {
    Q_OBJECT

public:
    OpenedLinks()
    {
        for (const QString &scheme : schemes())
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~OpenedLinks() override
    {
        for (const QString &scheme : schemes())
            QDesktopServices::unsetUrlHandler(scheme);
    }

    QList<QUrl> urls;

public Q_SLOTS:
    void open(const QUrl &url) { urls.append(url); }

private:
    static QStringList schemes()
    {
        return {QStringLiteral("http"), QStringLiteral("https"),      QStringLiteral("mailto"),
                QStringLiteral("file"), QStringLiteral("javascript"), QStringLiteral("data"),
                QStringLiteral("ftp"),  QStringLiteral("vbscript"),   QStringLiteral("steam"),
                QStringLiteral("feed")};
    }
};
