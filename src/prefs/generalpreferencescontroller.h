#pragma once

#include "prefs/preferencesservices.h"

#include <QStringList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The general pane: global limits (applied to every feed while they are typed), keywords one per
// line, the alert sound, start at login, the default feed reader, and removing all stars.
class GeneralPreferencesController : public QWidget {
    Q_OBJECT
public:
    explicit GeneralPreferencesController(const PreferencesServices &services, QWidget *parent = nullptr);

    QStringList soundNames() const { return m_soundNames; }
    QStringList rssReaders() const { return m_rssReaders; }

    bool openAtLogin() const;
    void setOpenAtLogin(bool openAtLogin);
    void updateLoginButtonState();
    // Lists the applications that open feed links, with the default one selected.
    void getHandlers();
    void rssReadersChanged(int index);
    void makeVantrelDefaultReader();
    void soundAction();
    void deleteStarred();

private:
    QWidget *buildLimits();
    QWidget *buildKeywords();
    QWidget *buildSound();
    QWidget *buildStartup();
    QWidget *buildReaders();
    QLineEdit *limitField(const QString &objectName, const QString &key);
    void limitEdited(const QString &key, const QString &text);
    void keywordsEdited();
    void showKeywords(const QVariant &keywords);
    void setDefaultReader(const QString &applicationId);

    const PreferencesServices m_services;
    QStringList m_soundNames;
    QStringList m_rssReaders;
    QPlainTextEdit *m_keywords = nullptr;
    QComboBox *m_sounds = nullptr;
    QCheckBox *m_openAtLogin = nullptr;
    QComboBox *m_readers = nullptr;
};
