#include "platform/desktop/desktopapplications.h"

#include "platform/desktop/xdgbasedirs.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Desktop files are a few kilobytes; a larger one is not read.
constexpr qint64 maximumDesktopFileSize = 1 << 20;

bool isExecutable(const QString &command)
{
    if (QDir::isAbsolutePath(command))
        return QFileInfo(command).isExecutable() && QFileInfo(command).isFile();
    return !QStandardPaths::findExecutable(command).isEmpty();
}

} // namespace

DesktopApplications::DesktopApplications()
{
    QHash<QString, bool> seen; // id → usable, for the ids a folder of higher precedence decided
    for (const QString &root : XdgBaseDirs::applicationDirs()) {
        const size_t firstOfFolder = m_applications.size();
        scanFolder(root, root, seen);
        std::sort(m_applications.begin() + qsizetype(firstOfFolder), m_applications.end(),
                  [](const Application &a, const Application &b) { return a.id < b.id; });
    }
    for (size_t i = 0; i < m_applications.size(); ++i)
        m_byId.insert(m_applications[i].id, i);
}

void DesktopApplications::scanFolder(const QString &root, const QString &folder, QHash<QString, bool> &seen)
{
    const QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList({u"*.desktop"_s}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo &info : entries) {
        const QString id = QDir(root).relativeFilePath(info.filePath()).replace(u'/', u'-');
        if (seen.contains(id) || info.size() > maximumDesktopFileSize)
            continue;
        std::optional<KeyFile> file = KeyFile::read(info.filePath(), false, nullptr);
        if (!file)
            continue;
        const bool usable = isUsable(*file);
        seen.insert(id, usable);
        if (usable)
            m_applications.push_back({id, info.filePath(), std::move(*file)});
    }
    const QFileInfoList subfolders = dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &sub : subfolders) {
        if (!sub.isSymLink())
            scanFolder(root, sub.filePath(), seen);
    }
}

bool DesktopApplications::isUsable(const KeyFile &file)
{
    if (file.string(entryGroup, u"Type"_s) != u"Application"_s ||
        file.boolean(entryGroup, u"Hidden"_s, false))
        return false;
    if (file.string(entryGroup, u"Exec"_s).trimmed().isEmpty() &&
        !file.boolean(entryGroup, u"DBusActivatable"_s, false))
        return false;
    const QString tryExec = file.string(entryGroup, u"TryExec"_s).trimmed();
    return tryExec.isEmpty() || isExecutable(tryExec);
}

const DesktopApplications::Application *DesktopApplications::find(const QString &id) const
{
    const auto found = m_byId.constFind(id);
    return found == m_byId.constEnd() ? nullptr : &m_applications[*found];
}

std::vector<const DesktopApplications::Application *>
DesktopApplications::declaring(const QString &mimeType) const
{
    std::vector<const Application *> found;
    for (const Application &application : m_applications) {
        const QStringList types = application.file.list(entryGroup, u"MimeType"_s);
        const bool declares = std::any_of(types.begin(), types.end(), [&](const QString &type) {
            return type.trimmed().compare(mimeType, Qt::CaseInsensitive) == 0;
        });
        if (declares)
            found.push_back(&application);
    }
    return found;
}

QString DesktopApplications::displayName(const QString &id) const
{
    const Application *application = find(id);
    if (!application)
        return {};
    const QString name = application->file.localeString(entryGroup, u"Name"_s, QLocale().name()).trimmed();
    return name.isEmpty() ? id : name;
}
