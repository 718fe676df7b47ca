#include "prefs/alertsheet.h"

#include <QMessageBox>

using namespace Qt::StringLiterals;

QMessageBox *AlertSheet::show(QWidget *parent, const QString &text, const QString &informativeText)
{
    auto *box = new QMessageBox(QMessageBox::Warning, QString(), text, QMessageBox::Ok, parent);
    box->setObjectName(u"alert"_s);
    box->setInformativeText(informativeText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->open();
    return box;
}
