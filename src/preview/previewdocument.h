#pragma once

#include "preview/contentsanitizer.h"

#include <QString>

class DataItem;

// The HTML document the preview shows for an entry: its title as a heading, then (except for a
// Twitter source, whose title is the whole message) its content. The title and the content are
// inserted as HTML; they pass through the ContentSanitizer first, which leaves ordinary entries
// as they are.
class PreviewDocument {
public:
    explicit PreviewDocument(const DataItem &item, const ContentSanitizer::Limits &limits = {});

    // The document, with the scroll-bar styles in its head when `scroller` is set.
    QString htmlContentWithScroller(bool scroller) const;
    static QString htmlContentWithScroller(const DataItem &item, bool scroller,
                                           const ContentSanitizer::Limits &limits = {})
    {
        return PreviewDocument(item, limits).htmlContentWithScroller(scroller);
    }

    // Each web address in the text (http or https) made a link to itself.
    static QString linkifiedTitle(const QString &title);

    // The blank document of a closed preview.
    static QString blank();

private:
    // The heading's and the body's HTML, sanitized.
    QString m_title;
    QString m_content;
};
