#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

class QWidget;

// The blocking dialogs of the preferences (file choosers, confirmations). Tests queue the next
// answer and the dialog is then not shown at all; without a queued answer the real dialog runs.
class DialogAnswers {
public:
    // A file to open; empty when the user cancelled.
    static QString openFileName(QWidget *parent, const QString &title, const QString &filter);
    // A file to write; empty when the user cancelled. The suffix is added when the name has none.
    static QString saveFileName(QWidget *parent, const QString &title, const QString &filter,
                                const QString &suffix);
    // Whether the user confirmed.
    static bool confirm(QWidget *parent, const QString &title, const QString &text, const QString &action);

    // The answers of the next dialogs, in order; an empty file name is a cancel.
    static void queueFileName(const QString &fileName) { fileNames().push_back(fileName); }
    static void queueConfirmation(bool confirmed) { confirmations().push_back(confirmed); }
    static void clear();

private:
    static std::deque<QString> &fileNames();
    static std::deque<bool> &confirmations();
    static std::optional<QString> takeFileName();
};
