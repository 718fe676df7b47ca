#pragma once

#include "model/entry/dataitem.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

class BrowserSupport;
class QAction;

// The share entries for a headline, which the row and the preview show as a menu below their
// share button: "Email" (a mailto: link that the user's mail program composes), "Copy Link" and
// "Copy Title and Link". Keeps the last shared headline until the next share.
class ShareManager : public QObject {
    Q_OBJECT

public:
    explicit ShareManager(BrowserSupport &browser, QObject *parent = nullptr);

    // The application's instance, on BrowserSupport::sharedInstance().
    static ShareManager &sharedManager();
    // Sharing needs nothing beyond the desktop's mail handler and clipboard: always true.
    static bool sharePossible() { return true; }

    // The entries for the headline, children of `parent`, in menu order. Empty (nothing to show)
    // when the headline's link is not a URL.
    QList<QAction *> shareItem(const DataItemPtr &item, QObject *parent);

    // "mailto:?subject=<title>&body=<url>", both percent-encoded, so that nothing in them can end
    // the subject or add a header.
    static QUrl mailtoLink(const QString &title, const QUrl &url);

    QString title() const { return m_title; }
    QString description() const { return m_description; }
    QUrl url() const { return m_url; }
    DataItemPtr item() const { return m_item; }

private:
    BrowserSupport &m_browser;
    QString m_title;
    QString m_description;
    QUrl m_url;
    DataItemPtr m_item;
};
