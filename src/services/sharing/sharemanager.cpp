#include "services/sharing/sharemanager.h"

#include "services/browser/browsersupport.h"
#include "support/encoding/urlencode.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

using namespace Qt::StringLiterals;

namespace {

void copyToClipboard(const QString &text)
{
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}

} // namespace

ShareManager::ShareManager(BrowserSupport &browser, QObject *parent) : QObject(parent), m_browser(browser) {}

ShareManager &ShareManager::sharedManager()
{
    static ShareManager *const instance = [] {
        auto *manager = new ShareManager(BrowserSupport::sharedInstance());
        if (auto *app = QCoreApplication::instance())
            manager->setParent(app);
        return manager;
    }();
    return *instance;
}

QList<QAction *> ShareManager::shareItem(const DataItemPtr &item, QObject *parent)
{
    if (!item)
        return {};
    m_item = item;
    m_url = QUrl(item->link(), QUrl::StrictMode);
    if (item->link().isEmpty() || !m_url.isValid() || m_url.isRelative())
        return {};
    m_title = item->title();
    m_description = item->description();

    const QString title = m_title;
    const QString link = m_url.toString(QUrl::FullyEncoded);
    const QUrl mail = mailtoLink(m_title, m_url);

    auto *email = new QAction(u"Email"_s, parent);
    email->setObjectName(u"shareEmailAction"_s);
    connect(email, &QAction::triggered, this, [this, mail] { m_browser.openWithWorkspace(mail); });

    auto *copyLink = new QAction(u"Copy Link"_s, parent);
    copyLink->setObjectName(u"shareCopyLinkAction"_s);
    connect(copyLink, &QAction::triggered, this, [link] { copyToClipboard(link); });

    auto *copyBoth = new QAction(u"Copy Title and Link"_s, parent);
    copyBoth->setObjectName(u"shareCopyTitleAndLinkAction"_s);
    connect(copyBoth, &QAction::triggered, this,
            [title, link] { copyToClipboard(title.simplified() + u'\n' + link); });

    return {email, copyLink, copyBoth};
}

QUrl ShareManager::mailtoLink(const QString &title, const QUrl &url)
{
    return QUrl(u"mailto:?subject="_s + urlEncode(title) + u"&body="_s +
                    urlEncode(url.toString(QUrl::FullyEncoded)),
                QUrl::StrictMode);
}
