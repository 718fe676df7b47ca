#include "prefs/googlereadercontroller.h"

#include "services/operations/operationqueue.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

template <typename Widget> Widget *named(Widget *widget, const QString &objectName)
{
    widget->setObjectName(objectName);
    return widget;
}

} // namespace

GoogleReaderController::GoogleReaderController(QWidget *parent)
    : QWidget(parent), m_operationQueue(std::make_unique<OperationQueue>())
{
    setObjectName(u"googleReaderView"_s);
    auto *tabs = named(new QTabWidget, u"tabView"_s);
    tabs->addTab(buildLoginTab(), tr("Account"));
    tabs->addTab(buildSyncTab(), tr("Synchronisation"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Import and synchronise subscriptions with a reader service.")));
    layout->addWidget(tabs);
    layout->addStretch(1);
}

GoogleReaderController::~GoogleReaderController() = default;

bool GoogleReaderController::findPasswordForAccount(const QString &) const
{
    return false;
}

QWidget *GoogleReaderController::buildLoginTab()
{
    auto *tab = new QWidget;
    auto *account = named(new QLineEdit, u"greaderAccount"_s);
    auto *password = named(new QLineEdit, u"greaderAccountPassword"_s);
    password->setEchoMode(QLineEdit::Password);
    auto *progress = named(new QProgressBar, u"progressIndicator"_s);
    progress->setRange(0, 0);
    progress->hide();
    auto *form = new QFormLayout(tab);
    form->addRow(tr("&Account:"), account);
    form->addRow(tr("&Password:"), password);
    form->addRow(QString(), named(new QPushButton(tr("&Log In")), u"loginButton"_s));
    form->addRow(QString(), progress);
    return tab;
}

QWidget *GoogleReaderController::buildSyncTab()
{
    auto *tab = new QWidget;
    auto *options = named(new QGroupBox(tr("Import")), u"syncOptionsMatrix"_s);
    auto *optionsLayout = new QVBoxLayout(options);
    optionsLayout->addWidget(named(new QRadioButton(tr("&All subscriptions")), u"syncAllButton"_s));
    optionsLayout->addWidget(named(new QRadioButton(tr("Subscriptions &added since")), u"syncSinceButton"_s));
    auto *syncProgress = named(new QProgressBar, u"syncProgressIndicator"_s);
    syncProgress->setRange(0, 0);
    syncProgress->hide();
    auto *form = new QFormLayout(tab);
    form->addRow(options);
    form->addRow(tr("&Date:"), named(new QDateEdit, u"importDateField"_s));
    form->addRow(QString(), named(new QPushButton(tr("&Synchronise")), u"syncButton"_s));
    form->addRow(QString(), named(new QPushButton(tr("Log &Out")), u"logoutButton"_s));
    form->addRow(QString(), syncProgress);
    return tab;
}
