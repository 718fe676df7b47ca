#include "prefs/addfeedsheet.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

AddFeedSheet::AddFeedSheet(QWidget *parent)
    : QDialog(parent), m_field(new QLineEdit), m_add(new QPushButton(tr("&Add"))),
      m_cancel(new QPushButton(tr("&Cancel")))
{
    setObjectName(u"addFeedPanel"_s);
    setWindowTitle(tr("Add Feed"));
    setWindowModality(Qt::WindowModal);
    m_field->setObjectName(u"addRSSField"_s);
    m_field->setPlaceholderText(tr("https://example.com/feed.xml or @name"));
    m_field->setMinimumWidth(360);
    m_add->setObjectName(u"addRSSPanelButton"_s);
    m_cancel->setObjectName(u"addRSSCancelButton"_s);

    auto *label = new QLabel(tr("Feed &address:"));
    label->setBuddy(m_field);
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(m_cancel, QDialogButtonBox::RejectRole);
    buttons->addButton(m_add, QDialogButtonBox::AcceptRole);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_field);
    layout->addWidget(buttons);
    // Only a button already inside the dialog becomes its default; set earlier, Return would
    // press whichever button took the focus first: Cancel.
    m_add->setDefault(true);

    connect(m_field, &QLineEdit::textChanged, this, &AddFeedSheet::updateAddButton);
    connect(m_add, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::finished, this, [this](int result) { Q_EMIT answered(result == Accepted); });
}

void AddFeedSheet::open(const QString &text)
{
    m_field->setText(text);
    updateAddButton();
    QDialog::open();
    m_field->setFocus();
    if (parentWidget())
        parentWidget()->window()->installEventFilter(this);
}

// The sheet stays centred on its window. A feed: link opens both at once, and the window manager
// places the window only after the sheet took its place.
bool AddFeedSheet::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Move && isVisible() && watched == parentWidget()->window())
        centreOnWindow();
    return QDialog::eventFilter(watched, event);
}

void AddFeedSheet::centreOnWindow()
{
    const QRect window = parentWidget()->window()->frameGeometry();
    move(window.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
}

QString AddFeedSheet::text() const
{
    return m_field->text();
}

void AddFeedSheet::updateAddButton()
{
    m_add->setEnabled(!m_field->text().isEmpty());
}
