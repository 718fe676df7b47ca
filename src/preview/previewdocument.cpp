#include "preview/previewdocument.h"

#include "model/dataitem.h"
#include "model/datasource.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

// The runs of blanks are part of the text.
const QString scrollerStyles = []() -> QString {
    const QString nine(9, u' ');
    const QString thirtyTwo(32, u' ');
    return nine + u"<style scoped contenteditable>"_s + nine + u"html {overflow: auto;}"_s + nine +
           u"body {position: absolute;top: 0px;left: 0px;bottom: 0px;right: 0px;padding: 4px; "
           u"overflow-y: auto;overflow-x: auto;}"_s +
           thirtyTwo + u"::-webkit-scrollbar {width: 6px;height: 8px;}"_s + thirtyTwo +
           u"::-webkit-scrollbar-track {-webkit-box-shadow: inset 0 0 0px rgba(0,0,0,0.2);border-radius: 5px;}"_s +
           thirtyTwo +
           u"::-webkit-scrollbar-thumb {border-radius: 4px;-webkit-box-shadow: inset 0 0 6px rgba(0,0,0,0.5);}"_s +
           nine + u"</style>"_s + nine + u"</head>"_s + nine;
}();

const QString titleStyle =
    u"<style>h1 { font-size: 108%; font-weight: bold; text-align: justified; }</style>"_s;
const QString documentEnd = u"     </body>     </html>     "_s;

bool isTwitter(const DataItem &item)
{
    const auto source = std::dynamic_pointer_cast<Datasource>(item.datasource());
    return source && source->isTwitter();
}

} // namespace

PreviewDocument::PreviewDocument(const DataItem &item, const ContentSanitizer::Limits &limits)
{
    const bool twitter = isTwitter(item);
    ContentSanitizer sanitizer(limits);
    const QString title = item.title();
    if (!title.isNull())
        m_title = sanitizer.sanitize(twitter ? linkifiedTitle(title) : title);
    if (!twitter) {
        const QString content = item.previewContent();
        if (!content.isNull())
            m_content = sanitizer.sanitize(content);
    }
}

QString PreviewDocument::htmlContentWithScroller(bool scroller) const
{
    QString html = u"<html><head>"_s;
    if (scroller)
        html += scrollerStyles;
    html += titleStyle;
    html += u"<h1 id='title'>"_s;
    html += m_title;
    html += u"</h1>"_s;
    html += m_content;
    html += documentEnd;
    return html;
}

QString PreviewDocument::linkifiedTitle(const QString &title)
{
    static const QRegularExpression webAddress(
        uR"((\b(https?):\/\/[-A-Z0-9+&@#\/%?=~_|!:,.;]*[-A-Z0-9+&@#\/%=~_|]))"_s,
        QRegularExpression::CaseInsensitiveOption);
    QString linked = title;
    return linked.replace(webAddress, uR"(<a href="\1">\1</a>)"_s);
}

QString PreviewDocument::blank()
{
    return u"<html><body></body></html>"_s;
}
