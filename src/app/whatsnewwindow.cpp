#include "app/whatsnewwindow.h"

#include "app/fixedzoomtextbrowser.h"

#include <QFile>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

WhatsNewWindow::WhatsNewWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_document(new FixedZoomTextBrowser(this))
{
    setObjectName(u"whatsNewWindow"_s);
    setWindowTitle(tr("What's New"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_document->setObjectName(u"whatsNewDocument"_s);
    m_document->setOpenExternalLinks(false);
    m_document->setOpenLinks(false);
    QFile notes(u":/app/whatsnew.html"_s);
    if (notes.open(QIODevice::ReadOnly))
        m_document->setHtml(QString::fromUtf8(notes.readAll()));
    else
        m_document->setPlainText(tr("The release notes are missing from this build."));

    auto *close = new QPushButton(tr("Close"), this);
    close->setObjectName(u"whatsNewClose"_s);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_document);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(520, 560);
}

void WhatsNewWindow::orderFront()
{
    show();
    raise();
}
