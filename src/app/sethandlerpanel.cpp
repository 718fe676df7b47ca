#include "app/sethandlerpanel.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

SetHandlerPanel::SetHandlerPanel(const QString &currentDefault, QWidget *parent) : QDialog(parent)
{
    setObjectName(u"setHandlerPanel"_s);
    setWindowTitle(tr("Default Feed Reader"));

    auto *question = new QLabel(this);
    question->setObjectName(u"setHandlerQuestion"_s);
    question->setWordWrap(true);
    question->setTextFormat(Qt::PlainText);
    question->setText(tr("Vantrel is not the program that opens feed: links; %1 is.\n\n"
                         "Should Vantrel open them from now on? A feed you open in your web browser is then "
                         "offered for subscription here.")
                          .arg(currentDefault));

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *accept = buttons->addButton(tr("Use Vantrel"), QDialogButtonBox::AcceptRole);
    accept->setObjectName(u"setHandlerAccept"_s);
    QPushButton *dismiss = buttons->addButton(tr("Not Now"), QDialogButtonBox::RejectRole);
    dismiss->setObjectName(u"setHandlerDismiss"_s);
    accept->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(question);
    layout->addWidget(buttons);
}
