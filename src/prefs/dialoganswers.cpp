#include "prefs/dialoganswers.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

std::deque<QString> &DialogAnswers::fileNames()
{
    static std::deque<QString> answers;
    return answers;
}

std::deque<bool> &DialogAnswers::confirmations()
{
    static std::deque<bool> answers;
    return answers;
}

void DialogAnswers::clear()
{
    fileNames().clear();
    confirmations().clear();
}

std::optional<QString> DialogAnswers::takeFileName()
{
    if (fileNames().empty())
        return std::nullopt;
    QString answer = fileNames().front();
    fileNames().pop_front();
    return answer;
}

QString DialogAnswers::openFileName(QWidget *parent, const QString &title, const QString &filter)
{
    if (std::optional<QString> answer = takeFileName())
        return *answer;
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}

QString DialogAnswers::saveFileName(QWidget *parent, const QString &title, const QString &filter,
                                    const QString &suffix)
{
    std::optional<QString> answer = takeFileName();
    QString fileName = answer ? *answer : QFileDialog::getSaveFileName(parent, title, QString(), filter);
    if (!fileName.isEmpty() && QFileInfo(fileName).suffix().isEmpty())
        fileName += u'.' + suffix;
    return fileName;
}

bool DialogAnswers::confirm(QWidget *parent, const QString &title, const QString &text, const QString &action)
{
    if (!confirmations().empty()) {
        const bool answer = confirmations().front();
        confirmations().pop_front();
        return answer;
    }
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Cancel, parent);
    QPushButton *accept = box.addButton(action, QMessageBox::AcceptRole);
    box.setDefaultButton(accept);
    box.exec();
    return box.clickedButton() == accept;
}
