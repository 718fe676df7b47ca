#pragma once

#include <QString>
#include <QUrl>

// Vantrel's help pages, opened in the web browser. They are built into the program and written
// to a folder of their own the first time one is opened, so that the browser can read them.
class HelpBook {
public:
    // Pages go to `folder` (created when missing).
    explicit HelpBook(const QString &folder = defaultFolder());

    // In the user's runtime folder, one per version.
    static QString defaultFolder();

    // The file URL of the page, named with or without ".html"; the index page for an empty name or
    // one the book does not have. An empty URL, with the reason in `error`, when the pages cannot
    // be written.
    QUrl pageUrl(const QString &page, QString *error);
    // Opens the page in the browser; false, with the reason in `error`, when it could not.
    bool openPage(const QString &page, QString *error);

private:
    bool writePages(QString *error);

    QString m_folder;
    bool m_written = false;
};
