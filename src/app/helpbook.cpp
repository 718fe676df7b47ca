#include "app/helpbook.h"

#include "buildinfo.h"

#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {
const QString resourceFolder = u":/app/help"_s;
const QString indexPage = u"index.html"_s;
} // namespace

HelpBook::HelpBook(const QString &folder) : m_folder(folder) {}

QString HelpBook::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + u"/vantrel-help-"_s +
           QString::fromLatin1(buildinfo::version);
}

QUrl HelpBook::pageUrl(const QString &page, QString *error)
{
    if (!writePages(error))
        return {};
    QString file = page.trimmed();
    if (!file.endsWith(u".html"_s))
        file += u".html"_s;
    // Only the book's own pages: a name is never a path.
    if (file.contains(u'/') || !QFile::exists(resourceFolder + u'/' + file))
        file = indexPage;
    return QUrl::fromLocalFile(QDir(m_folder).filePath(file));
}

bool HelpBook::openPage(const QString &page, QString *error)
{
    const QUrl url = pageUrl(page, error);
    if (url.isEmpty())
        return false;
    if (!QDesktopServices::openUrl(url)) {
        if (error)
            *error = u"No web browser could open %1."_s.arg(url.toLocalFile());
        return false;
    }
    return true;
}

// The pages are written again at the first use in each run, so an edited or deleted copy heals.
bool HelpBook::writePages(QString *error)
{
    if (m_written)
        return true;
    if (!QDir().mkpath(m_folder)) {
        if (error)
            *error = u"Cannot create the folder %1 for the help pages."_s.arg(m_folder);
        return false;
    }
    QDirIterator pages(resourceFolder, QDir::Files);
    while (pages.hasNext()) {
        const QString source = pages.next();
        QFile in(source);
        QSaveFile out(QDir(m_folder).filePath(pages.fileName()));
        if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly) || out.write(in.readAll()) < 0 ||
            !out.commit()) {
            if (error)
                *error = u"Cannot write the help page %1: %2"_s.arg(out.fileName(), out.errorString());
            return false;
        }
    }
    m_written = true;
    return true;
}
