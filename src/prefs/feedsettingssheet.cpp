#include "prefs/feedsettingssheet.h"

#include "model/parse/feedstrings.h"
#include "model/source/datasource.h"
#include "model/source/rssdatasource.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "prefs/alertsheet.h"
#include "prefs/colorchooserpopupbutton.h"
#include "prefs/feedaddresstext.h"
#include "prefs/integertext.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

QString perFeedText(const Datasource &source, const QString &key)
{
    const QVariant value = source.getUserDefaultsForKey(key, true);
    return value.isValid() ? QString::number(value.toInt()) : QString();
}

} // namespace

FeedSettingsSheet::FeedSettingsSheet(UserDefaults &defaults, QWidget *parent)
    : QDialog(parent), m_defaults(defaults), m_name(new QLineEdit), m_url(new QLineEdit),
      m_limit(numberField(u"feedSettingsLimitField"_s)),
      m_ageLimit(numberField(u"feedSettingsAgeLimitField"_s)),
      m_refresh(numberField(u"feedSettingsRefreshField"_s)), m_fontColor(new ColorChooserPopUpButton),
      m_backgroundColor(new ColorChooserPopUpButton), m_save(new QPushButton(tr("&Save"))),
      m_cancel(new QPushButton(tr("&Cancel")))
{
    setObjectName(u"feedSettingsPanel"_s);
    setWindowTitle(tr("Feed Settings"));
    setWindowModality(Qt::WindowModal);
    m_name->setObjectName(u"feedSettingsNameField"_s);
    m_url->setObjectName(u"feedSettingsURLField"_s);
    m_url->setMinimumWidth(320);
    m_fontColor->setObjectName(u"feedSettingsFontColorButton"_s);
    m_fontColor->setShowNone(true);
    m_backgroundColor->setObjectName(u"feedSettingsBackgroundColorButton"_s);
    m_backgroundColor->setShowNone(true);
    m_save->setObjectName(u"feedSettingsSaveButton"_s);
    m_cancel->setObjectName(u"feedSettingsCancelButton"_s);

    auto *form = new QFormLayout(this);
    form->addRow(tr("&Name:"), m_name);
    form->addRow(tr("A&ddress:"), m_url);
    form->addRow(tr("Most &headlines:"), m_limit);
    form->addRow(tr("&Oldest headline (days):"), m_ageLimit);
    form->addRow(tr("&Refresh every (minutes):"), m_refresh);
    form->addRow(tr("&Text colour:"), m_fontColor);
    form->addRow(tr("&Background colour:"), m_backgroundColor);
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(m_cancel, QDialogButtonBox::RejectRole);
    buttons->addButton(m_save, QDialogButtonBox::AcceptRole);
    form->addRow(buttons);
    // Set once the button is inside the dialog, or Return presses Cancel.
    m_save->setDefault(true);

    connect(m_save, &QPushButton::clicked, this, &FeedSettingsSheet::saveFeedSettings);
    connect(m_cancel, &QPushButton::clicked, this, &FeedSettingsSheet::closeFeedSettings);
}

QLineEdit *FeedSettingsSheet::numberField(const QString &objectName)
{
    auto *field = new QLineEdit;
    field->setObjectName(objectName);
    // Limits apply while they are typed.
    connect(field, &QLineEdit::textEdited, this, &FeedSettingsSheet::updateFeedSettings);
    return field;
}

void FeedSettingsSheet::open(const std::shared_ptr<Datasource> &source)
{
    if (!source)
        return;
    m_source = source;
    fillFields(*source);
    // The defaults are set before the sheet listens, so that setting them writes nothing.
    detachColorButtons();
    m_fontColor->setDefaultColor(source->getUserDefaultsForKey(SettingsKey::fontColor, true).value<QColor>());
    m_backgroundColor->setDefaultColor(
        source->getUserDefaultsForKey(SettingsKey::backgroundColor, true).value<QColor>());
    attachColorButtons();
    QDialog::open();
}

void FeedSettingsSheet::fillFields(const Datasource &source)
{
    m_name->setPlaceholderText(source.name());
    m_limit->setPlaceholderText(m_defaults.stringForKey(SettingsKey::limit));
    m_ageLimit->setPlaceholderText(m_defaults.stringForKey(SettingsKey::ageLimit));
    m_refresh->setPlaceholderText(m_defaults.stringForKey(SettingsKey::refreshRate));
    m_name->setText(source.customName());
    const auto *feed = dynamic_cast<const RSSDatasource *>(&source);
    m_url->setText(FeedAddressText::entryForAddress(feed ? feed->url() : QString()));
    m_limit->setText(perFeedText(source, SettingsKey::limit));
    m_ageLimit->setText(perFeedText(source, SettingsKey::ageLimit));
    m_refresh->setText(perFeedText(source, SettingsKey::refreshRate));
}

void FeedSettingsSheet::attachColorButtons()
{
    connect(m_fontColor, &ColorChooserPopUpButton::colorDidChange, this, &FeedSettingsSheet::colorDidChange);
    connect(m_backgroundColor, &ColorChooserPopUpButton::colorDidChange, this,
            &FeedSettingsSheet::colorDidChange);
}

void FeedSettingsSheet::detachColorButtons()
{
    disconnect(m_fontColor, nullptr, this, nullptr);
    disconnect(m_backgroundColor, nullptr, this, nullptr);
}

void FeedSettingsSheet::colorDidChange(ColorChooserPopUpButton *button)
{
    if (!m_source)
        return;
    const QString key =
        button == m_fontColor ? QString(SettingsKey::fontColor) : QString(SettingsKey::backgroundColor);
    m_source->setUserDefaults(button->color().isValid() ? QVariant(button->color()) : QVariant(), key);
}

// A number below 1 (or no number) is no limit of the feed's own: the general setting applies.
void FeedSettingsSheet::writeLimit(const QString &key, const QLineEdit *field)
{
    const int value = IntegerText::value(field->text());
    m_source->setUserDefaults(value >= 1 ? QVariant(value) : QVariant(), key);
}

void FeedSettingsSheet::updateFeedSettings()
{
    if (!m_source)
        return;
    writeLimit(SettingsKey::ageLimit, m_ageLimit);
    writeLimit(SettingsKey::limit, m_limit);
    writeLimit(SettingsKey::refreshRate, m_refresh);
    m_source->setCustomName(m_name->text());
    if (auto *feed = dynamic_cast<RSSDatasource *>(m_source.get())) {
        const QString address = FeedAddressText::addressForEntry(m_url->text());
        if (address != feed->url() && addressRefusal().isNull())
            feed->setURL(address);
    }
    m_source->loadGeneralDefaults();
}

QString FeedSettingsSheet::addressRefusal() const
{
    return FeedStrings::feedAddressRefusal(FeedAddressText::addressForEntry(m_url->text()));
}

// An address that can never be a feed keeps the sheet open with the reason, and the old address.
void FeedSettingsSheet::saveFeedSettings()
{
    if (const QString refusal = addressRefusal(); !refusal.isNull()) {
        AlertSheet::show(this, refusal);
        return;
    }
    detachColorButtons();
    updateFeedSettings();
    closeFeedSettings();
}

// Cancel puts the colours back by resetting the buttons while the sheet still listens to them.
void FeedSettingsSheet::closeFeedSettings()
{
    m_fontColor->reset();
    m_backgroundColor->reset();
    QDialog::reject();
    detachColorButtons();
    m_source.reset();
}
