#include "prefs/generalpreferencescontroller.h"

#include "model/manager/datasourcemanager.h"
#include "model/source/datasource.h"
#include "model/stars/starmanager.h"
#include "platform/desktop/soundplayer.h"
#include "platform/desktop/urlschemehandlers.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "prefs/alertsheet.h"
#include "prefs/integertext.h"
#include "prefs/settingbindings.h"
#include "services/loginitems/loginitemregistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString feedScheme = u"feed"_s;

QCheckBox *checkBox(const QString &objectName, const QString &text, UserDefaults &defaults,
                    const QString &key)
{
    auto *box = new QCheckBox(text);
    box->setObjectName(objectName);
    SettingBindings::bind(box, defaults, key);
    return box;
}

QStringList keywordLines(const QString &text)
{
    QStringList keywords;
    for (const QString &line : text.split(u'\n')) {
        if (!line.trimmed().isEmpty())
            keywords.append(line);
    }
    return keywords;
}

} // namespace

GeneralPreferencesController::GeneralPreferencesController(const PreferencesServices &services,
                                                           QWidget *parent)
    : QWidget(parent), m_services(services), m_soundNames(services.sounds.soundNames())
{
    setObjectName(u"generalView"_s);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(buildLimits());
    layout->addWidget(buildKeywords());
    layout->addWidget(buildSound());
    layout->addWidget(buildStartup());
    layout->addWidget(buildReaders());
    layout->addStretch(1);
    // Choices made in other programs show when the user comes back.
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive) {
            getHandlers();
            updateLoginButtonState();
        }
    });
    getHandlers();
    updateLoginButtonState();
}

// ---- Limits

QWidget *GeneralPreferencesController::buildLimits()
{
    auto *box = new QGroupBox(tr("Headlines"));
    auto *form = new QFormLayout(box);
    form->addRow(tr("&Most headlines per feed (0: no limit):"),
                 limitField(u"limitTextField"_s, SettingsKey::limit));
    form->addRow(tr("&Oldest headline shown (days):"),
                 limitField(u"ageLimitTextField"_s, SettingsKey::ageLimit));
    return box;
}

QLineEdit *GeneralPreferencesController::limitField(const QString &objectName, const QString &key)
{
    auto *field = new QLineEdit(m_services.defaults.stringForKey(key));
    field->setObjectName(objectName);
    connect(field, &QLineEdit::textEdited, this,
            [this, key](const QString &text) { limitEdited(key, text); });
    return field;
}

void GeneralPreferencesController::limitEdited(const QString &key, const QString &text)
{
    m_services.defaults.setObject(IntegerText::value(text), key);
    for (const std::shared_ptr<Datasource> &source : m_services.manager.datasources())
        source->loadGeneralDefaults();
}

// ---- Keywords

QWidget *GeneralPreferencesController::buildKeywords()
{
    auto *box = new QGroupBox(tr("&Keywords (one per line)"));
    m_keywords = new QPlainTextEdit;
    m_keywords->setObjectName(u"keywordsTokenField"_s);
    m_keywords->setTabChangesFocus(true);
    m_keywords->setMaximumHeight(90);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(m_keywords);
    m_services.defaults.observe(SettingsKey::keywords, m_keywords,
                                [this](const QVariant &value) { showKeywords(value); });
    connect(m_keywords, &QPlainTextEdit::textChanged, this, &GeneralPreferencesController::keywordsEdited);
    return box;
}

void GeneralPreferencesController::showKeywords(const QVariant &keywords)
{
    const QStringList list = keywords.toStringList();
    if (list == keywordLines(m_keywords->toPlainText()))
        return;
    const QSignalBlocker blocker(m_keywords);
    m_keywords->setPlainText(list.join(u'\n'));
}

void GeneralPreferencesController::keywordsEdited()
{
    const QStringList keywords = keywordLines(m_keywords->toPlainText());
    if (keywords != m_services.defaults.objectForKey(SettingsKey::keywords).toStringList())
        m_services.defaults.setObject(keywords, SettingsKey::keywords);
}

// ---- Sound

QWidget *GeneralPreferencesController::buildSound()
{
    auto *box = new QGroupBox(tr("Sound"));
    m_sounds = new QComboBox;
    m_sounds->setObjectName(u"soundPopUpButton"_s);
    for (const QString &name : std::as_const(m_soundNames))
        m_sounds->addItem(name, name);
    SettingBindings::bindItemData(m_sounds, m_services.defaults, SettingsKey::soundName);
    auto *play = new QPushButton(tr("&Play"));
    play->setObjectName(u"playSoundButton"_s);
    connect(play, &QPushButton::clicked, this, &GeneralPreferencesController::soundAction);
    auto *row = new QHBoxLayout;
    row->addWidget(m_sounds, 1);
    row->addWidget(play);
    auto *layout = new QVBoxLayout(box);
    layout->addLayout(row);
    layout->addWidget(checkBox(u"alwaysPlaySoundButton"_s,
                               tr("Play the sound for &every new headline, not only marked ones"),
                               m_services.defaults, SettingsKey::alwaysPlaySound));
    return box;
}

void GeneralPreferencesController::soundAction()
{
    const QString name = m_services.defaults.stringForKey(SettingsKey::soundName);
    if (!name.isEmpty())
        m_services.sounds.play(name);
}

// ---- Start-up

QWidget *GeneralPreferencesController::buildStartup()
{
    auto *box = new QGroupBox(tr("Start-up"));
    m_openAtLogin = new QCheckBox(tr("Start Vantrel when I &log in"));
    m_openAtLogin->setObjectName(u"openAtLoginButton"_s);
    connect(m_openAtLogin, &QCheckBox::toggled, this, &GeneralPreferencesController::setOpenAtLogin);
    auto *deleteStars = new QPushButton(tr("Remove All &Stars"));
    deleteStars->setObjectName(u"deleteStarredButton"_s);
    deleteStars->setEnabled(m_services.stars != nullptr);
    connect(deleteStars, &QPushButton::clicked, this, &GeneralPreferencesController::deleteStarred);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(m_openAtLogin);
    layout->addWidget(checkBox(u"showInDockButton"_s,
                               tr("Show Vantrel in the &taskbar (otherwise in the tray only)"),
                               m_services.defaults, SettingsKey::showInDock));
    layout->addWidget(checkBox(u"enablePreviewButton"_s, tr("Show a &preview when a headline is clicked"),
                               m_services.defaults, SettingsKey::enablePreview));
    layout->addWidget(deleteStars, 0, Qt::AlignLeft);
    return box;
}

bool GeneralPreferencesController::openAtLogin() const
{
    return m_services.loginItems.indexForLoginItemWithPath(m_services.applicationDesktopFile) >= 0;
}

void GeneralPreferencesController::setOpenAtLogin(bool openAtLogin)
{
    if (openAtLogin == this->openAtLogin())
        return;
    const bool done =
        openAtLogin ? m_services.loginItems.addLoginItemWithPath(m_services.applicationDesktopFile, false)
                    : m_services.loginItems.removeLoginItemWithPath(m_services.applicationDesktopFile);
    if (!done)
        AlertSheet::show(this,
                         openAtLogin ? tr("Vantrel could not be set to start at login.")
                                     : tr("Vantrel could not be kept from starting at login."),
                         tr("The desktop's autostart folder could not be changed."));
    updateLoginButtonState();
}

void GeneralPreferencesController::updateLoginButtonState()
{
    const QSignalBlocker blocker(m_openAtLogin);
    m_openAtLogin->setChecked(openAtLogin());
}

void GeneralPreferencesController::deleteStarred()
{
    if (m_services.stars)
        m_services.stars->removeAll();
}

// ---- Feed reader

QWidget *GeneralPreferencesController::buildReaders()
{
    auto *box = new QGroupBox(tr("Feed links"));
    m_readers = new QComboBox;
    m_readers->setObjectName(u"rssReadersPopupButton"_s);
    connect(m_readers, &QComboBox::activated, this, &GeneralPreferencesController::rssReadersChanged);
    auto *makeDefault = new QPushButton(tr("Make Vantrel the &Default"));
    makeDefault->setObjectName(u"makeDefaultReaderButton"_s);
    connect(makeDefault, &QPushButton::clicked, this,
            &GeneralPreferencesController::makeVantrelDefaultReader);
    auto *form = new QFormLayout(box);
    form->addRow(tr("Open feed links &with:"), m_readers);
    form->addRow(QString(), makeDefault);
    form->addRow(QString(),
                 checkBox(u"checkHandlerButton"_s, tr("&Check at start-up that Vantrel opens feed links"),
                          m_services.defaults, SettingsKey::checkHandlerOnStartup));
    return box;
}

void GeneralPreferencesController::getHandlers()
{
    const QStringList handlers = m_services.schemeHandlers.allHandlers(feedScheme);
    if (handlers.isEmpty())
        return;
    const QSignalBlocker blocker(m_readers);
    m_readers->clear();
    m_rssReaders.clear();
    for (const QString &id : handlers) {
        const QString name = m_services.schemeHandlers.displayName(id);
        if (name.isEmpty() || m_services.schemeHandlers.applicationPath(id).isEmpty())
            continue;
        m_rssReaders.append(id);
        m_readers->addItem(name, id);
    }
    const qsizetype selected = m_rssReaders.indexOf(m_services.schemeHandlers.defaultHandler(feedScheme));
    m_readers->setCurrentIndex(int(selected));
}

void GeneralPreferencesController::rssReadersChanged(int index)
{
    if (index >= 0 && index < m_rssReaders.size())
        setDefaultReader(m_rssReaders.at(index));
}

void GeneralPreferencesController::makeVantrelDefaultReader()
{
    setDefaultReader(m_services.applicationId);
}

void GeneralPreferencesController::setDefaultReader(const QString &applicationId)
{
    QString error;
    if (!m_services.schemeHandlers.setDefaultHandler(feedScheme, applicationId, &error))
        AlertSheet::show(this, tr("The default feed reader could not be changed."), error);
    getHandlers();
}
