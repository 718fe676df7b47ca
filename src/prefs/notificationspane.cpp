#include "prefs/notificationspane.h"

#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "services/notifications/sharingservices.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

NotificationsPane::NotificationsPane(UserDefaults &defaults, const NotificationBus &notifications,
                                     QWidget *parent)
    : QWidget(parent), m_defaults(defaults), m_group(new QGroupBox(tr("Show desktop notifications for"))),
      m_buttons(new QButtonGroup(this))
{
    setObjectName(u"notificationsView"_s);
    m_group->setObjectName(u"notificationsGroup"_s);
    auto *groupLayout = new QVBoxLayout(m_group);
    const std::pair<Level, QString> choices[] = {{None, tr("&No headlines")},
                                                 {MarkedOnly, tr("&Marked headlines only")},
                                                 {All, tr("&All new headlines")}};
    const QString names[] = {u"notificationsNoneButton"_s, u"notificationsMarkedButton"_s,
                             u"notificationsAllButton"_s};
    for (int i = 0; i < 3; ++i) {
        auto *radio = new QRadioButton(choices[i].second);
        radio->setObjectName(names[i]);
        m_buttons->addButton(radio, choices[i].first);
        groupLayout->addWidget(radio);
    }
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_group);
    if (!sharingServicesAvailable(notifications)) {
        m_group->setEnabled(false);
        auto *why = new QLabel(tr("No notification service is running on this desktop."));
        why->setObjectName(u"notificationsUnavailableLabel"_s);
        layout->addWidget(why);
    }
    layout->addStretch(1);
    m_defaults.observe(SettingsKey::notificationCenterLevel, this, [this](const QVariant &) {
        showLevel(m_defaults.integerForKey(SettingsKey::notificationCenterLevel));
    });
    connect(m_buttons, &QButtonGroup::idClicked, this,
            [this](int level) { m_defaults.setObject(level, SettingsKey::notificationCenterLevel); });
}

// Any level other than none or marked-only means all headlines.
void NotificationsPane::showLevel(qint64 level)
{
    const int id = level == None || level == MarkedOnly ? int(level) : int(All);
    m_buttons->button(id)->setChecked(true);
}
