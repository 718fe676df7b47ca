#include "app/welcomewindow.h"

#include "app/feedlink.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QLabel *wrappedLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

WelcomeWindow::WelcomeWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), m_address(new QLineEdit(this)), m_problem(wrappedLabel(QString(), this))
{
    setObjectName(u"welcomeWindow"_s);
    setWindowTitle(tr("Welcome to Vantrel"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *title = wrappedLabel(tr("Welcome to Vantrel"), this);
    QFont large = title->font();
    large.setPointSizeF(large.pointSizeF() * 1.4);
    large.setBold(true);
    title->setFont(large);

    auto *import = new QPushButton(tr("Import OPML File…"), this);
    import->setObjectName(u"welcomeImport"_s);
    connect(import, &QPushButton::clicked, this, [this] {
        Q_EMIT importRequested();
        close();
    });

    m_address->setObjectName(u"welcomeAddress"_s);
    m_address->setPlaceholderText(u"https://example.org/feed.xml"_s);
    auto *add = new QPushButton(tr("Subscribe"), this);
    add->setObjectName(u"welcomeAdd"_s);
    connect(add, &QPushButton::clicked, this, &WelcomeWindow::add);
    connect(m_address, &QLineEdit::returnPressed, this, &WelcomeWindow::add);
    m_problem->setObjectName(u"welcomeProblem"_s);
    m_problem->hide();

    auto *defaults = new QPushButton(tr("Start with the Default Feeds"), this);
    defaults->setObjectName(u"welcomeDefaults"_s);
    defaults->setDefault(true);
    connect(defaults, &QPushButton::clicked, this, [this] {
        Q_EMIT defaultFeedsChosen();
        close();
    });

    auto *addRow = new QHBoxLayout;
    addRow->addWidget(m_address, 1);
    addRow->addWidget(add);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(
        wrappedLabel(tr("Vantrel shows the headlines of your feeds in a bar at the edge of the screen. "
                        "Where do your feeds come from?"),
                     this));
    layout->addSpacing(8);
    layout->addWidget(wrappedLabel(
        tr("From another feed reader: export its subscriptions as OPML and import them."), this));
    layout->addWidget(import, 0, Qt::AlignLeft);
    layout->addSpacing(8);
    layout->addWidget(wrappedLabel(tr("From a web site: paste the address of its feed."), this));
    layout->addLayout(addRow);
    layout->addWidget(m_problem);
    layout->addSpacing(8);
    layout->addWidget(wrappedLabel(tr("Not sure yet: start with a news feed to see how it looks."), this));
    layout->addWidget(defaults, 0, Qt::AlignLeft);
    resize(460, sizeHint().height());
}

void WelcomeWindow::add()
{
    QString refusal;
    const std::optional<QUrl> address = FeedLink::address(m_address->text(), &refusal);
    if (!address) {
        m_problem->setText(refusal);
        m_problem->show();
        return;
    }
    Q_EMIT addRequested(*address);
    close();
}
