#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// The sheet that asks for a feed address (or "@" and a user name). Its accept button is enabled
// only while the field holds text; `answered` says which button ended it.
class AddFeedSheet : public QDialog {
    Q_OBJECT
public:
    explicit AddFeedSheet(QWidget *parent = nullptr);

    // Shows the sheet over its window with the text in the field.
    void open(const QString &text);
    QString text() const;

    QLineEdit *field() const { return m_field; }
    QPushButton *addButton() const { return m_add; }

Q_SIGNALS:
    // The sheet closed; `add` when the user chose to add.
    void answered(bool add);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateAddButton();
    void centreOnWindow();

    QLineEdit *m_field;
    QPushButton *m_add;
    QPushButton *m_cancel;
};
