#pragma once

#include <QDialog>
#include <memory>

class ColorChooserPopUpButton;
class Datasource;
class QLineEdit;
class QPushButton;
class UserDefaults;

// The sheet of one feed's own settings: custom name, address, limits, refresh interval and
// colours. Limits apply while they are typed; colours apply when picked and are put back as they
// were by Cancel; Save writes the name and address too.
class FeedSettingsSheet : public QDialog {
    Q_OBJECT
public:
    FeedSettingsSheet(UserDefaults &defaults, QWidget *parent = nullptr);

    // Fills the sheet from the source and shows it over its window.
    void open(const std::shared_ptr<Datasource> &source);
    std::shared_ptr<Datasource> source() const { return m_source; }

    // Writes the fields to the source.
    void updateFeedSettings();
    void saveFeedSettings();
    void closeFeedSettings();

    QLineEdit *nameField() const { return m_name; }
    QLineEdit *urlField() const { return m_url; }
    QLineEdit *limitField() const { return m_limit; }
    QLineEdit *ageLimitField() const { return m_ageLimit; }
    QLineEdit *refreshField() const { return m_refresh; }
    ColorChooserPopUpButton *fontColorButton() const { return m_fontColor; }
    ColorChooserPopUpButton *backgroundColorButton() const { return m_backgroundColor; }

    void reject() override { closeFeedSettings(); }

private:
    QLineEdit *numberField(const QString &objectName);
    void fillFields(const Datasource &source);
    void colorDidChange(ColorChooserPopUpButton *button);
    void attachColorButtons();
    void detachColorButtons();
    void writeLimit(const QString &key, const QLineEdit *field);
    // Why the address in the field cannot be stored; null when it can.
    QString addressRefusal() const;

    UserDefaults &m_defaults;
    std::shared_ptr<Datasource> m_source;
    QLineEdit *m_name;
    QLineEdit *m_url;
    QLineEdit *m_limit;
    QLineEdit *m_ageLimit;
    QLineEdit *m_refresh;
    ColorChooserPopUpButton *m_fontColor;
    ColorChooserPopUpButton *m_backgroundColor;
    QPushButton *m_save;
    QPushButton *m_cancel;
};
