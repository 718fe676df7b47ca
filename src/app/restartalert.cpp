#include "app/restartalert.h"

#include <QMessageBox>
#include <QPushButton>
#include <memory>

using namespace Qt::StringLiterals;

QMessageBox *RestartAlert::make(QWidget *parent)
{
    auto *alert = new QMessageBox(parent);
    alert->setObjectName(u"restartAlert"_s);
    alert->setIcon(QMessageBox::Warning);
    alert->setWindowTitle(u"Vantrel"_s);
    alert->setText(u"You must now restart"_s);
    alert->setInformativeText(u"Dock Icon status change requires restart of the application"_s);
    QPushButton *restart = alert->addButton(u"Restart"_s, QMessageBox::AcceptRole);
    restart->setObjectName(u"restartButton"_s);
    alert->addButton(u"Cancel"_s, QMessageBox::RejectRole)->setObjectName(u"cancelButton"_s);
    alert->setDefaultButton(restart);
    return alert;
}

bool RestartAlert::ask()
{
    const std::unique_ptr<QMessageBox> alert(make());
    alert->exec();
    return alert->clickedButton() && alert->clickedButton()->objectName() == u"restartButton"_s;
}
