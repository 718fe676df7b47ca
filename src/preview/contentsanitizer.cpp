#include "preview/contentsanitizer.h"

#include <QList>

#include <algorithm>
#include <initializer_list>

using namespace Qt::StringLiterals;

namespace {

// Costs, in characters of text laid out in the same time. Laying out a block (a paragraph, a
// cell) takes more than linear time in its length and in the elements it holds, and a row's
// columns take more than linear time in their number: each cost grows with what came before it in
// its block or row.
constexpr qsizetype elementCost = 8;
constexpr qsizetype blockCost = 32;
constexpr qsizetype tableCellCost = 160;
// Each unit costs 1 more for every this many units before it in its block...
constexpr qsizetype blockGrowth = 4096;
// ...an element `elementCost` more for every this many elements before it in its block...
constexpr qsizetype elementGrowth = 128;
// ...and a cell this much more for each cell before it in its row.
constexpr qsizetype rowCellGrowth = 8;
// "&" then at most this many letters, digits or "#" before ";" is one character.
constexpr qsizetype longestEntity = 32;

bool isOneOf(QStringView name, std::initializer_list<QLatin1StringView> names)
{
    return std::any_of(names.begin(), names.end(), [name](QLatin1StringView n) { return name == n; });
}

bool isVoidElement(QStringView name)
{
    return isOneOf(name, {"area"_L1, "base"_L1, "br"_L1, "col"_L1, "embed"_L1, "hr"_L1, "img"_L1, "input"_L1,
                          "link"_L1, "meta"_L1, "param"_L1, "source"_L1, "track"_L1, "wbr"_L1});
}

// Elements that start and end a block of text: what lies between two of them is laid out as one.
bool isBlockElement(QStringView name)
{
    static const QList<QLatin1StringView> blocks{
        "address"_L1, "article"_L1, "aside"_L1,      "blockquote"_L1, "center"_L1, "dd"_L1,      "div"_L1,
        "dl"_L1,      "dt"_L1,      "figcaption"_L1, "figure"_L1,     "footer"_L1, "h1"_L1,      "h2"_L1,
        "h3"_L1,      "h4"_L1,      "h5"_L1,         "h6"_L1,         "header"_L1, "hr"_L1,      "li"_L1,
        "main"_L1,    "nav"_L1,     "ol"_L1,         "p"_L1,          "pre"_L1,    "section"_L1, "table"_L1,
        "td"_L1,      "th"_L1,      "tr"_L1,         "ul"_L1};
    return std::any_of(blocks.begin(), blocks.end(),
                       [name](QLatin1StringView block) { return name == block; });
}

bool isDroppedBlock(QStringView name)
{
    return name == "script"_L1 || name == "style"_L1;
}

bool isNameStart(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isNameCharacter(QChar c)
{
    return isNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u':' || c == u'_';
}

} // namespace

// One fragment through the sanitizer: a scan that copies text and tags, skips what is dropped and
// keeps the stack of open elements as a browser would, closely enough to count nesting.
class ContentSanitizer::Pass {
public:
    Pass(ContentSanitizer &owner, QStringView input) : m_owner(owner), m_in(input) {}

    QString run()
    {
        m_out.reserve(std::min<qsizetype>(m_in.size(), m_owner.m_limits.budget) + 16);
        while (m_pos < m_in.size() && !m_owner.m_cut) {
            if (m_in[m_pos] == u'<')
                markup();
            else
                text();
        }
        return m_out;
    }

private:
    void cut()
    {
        m_out.append(ContentSanitizer::ellipsis);
        m_owner.m_cut = true;
    }

    bool spend(qsizetype cost)
    {
        const qsizetype weighted = cost + cost * m_blockUnits / blockGrowth;
        if (m_owner.m_spent + weighted > m_owner.m_limits.budget) {
            cut();
            return false;
        }
        m_owner.m_spent += weighted;
        m_blockUnits += cost;
        return true;
    }

    void text()
    {
        const QChar c = m_in[m_pos];
        if (c.isSpace()) {
            m_wordLength = 0;
            m_longWord = false;
        } else if (m_wordLength >= m_owner.m_limits.wordLength) {
            m_out.append(ContentSanitizer::wordBreak);
            m_wordLength = 0;
            m_longWord = true;
        }
        // An entity costs its length; a word broken where it has no spaces takes about twice as
        // long to lay out.
        const qsizetype length = c == u'&' ? entityLength() : 1;
        if (!spend(m_longWord ? 2 * length : length))
            return;
        m_out.append(m_in.mid(m_pos, length));
        m_pos += length;
        if (!c.isSpace())
            ++m_wordLength;
    }

    qsizetype entityLength() const
    {
        const qsizetype end = std::min(m_in.size(), m_pos + 1 + longestEntity);
        for (qsizetype i = m_pos + 1; i < end; ++i) {
            const QChar c = m_in[i];
            if (c == u';')
                return i > m_pos + 1 ? i - m_pos + 1 : 1;
            if (!c.isLetterOrNumber() && c != u'#')
                return 1;
        }
        return 1;
    }

    void markup()
    {
        const QStringView rest = m_in.mid(m_pos);
        if (rest.startsWith(u"<!--")) {
            skipPast(u"-->", m_pos + 4);
            return;
        }
        if (rest.size() > 1 && (rest[1] == u'!' || rest[1] == u'?')) {
            skipPast(u">", m_pos + 2);
            return;
        }
        const bool closing = rest.size() > 1 && rest[1] == u'/';
        const qsizetype nameStart = m_pos + (closing ? 2 : 1);
        if (nameStart >= m_in.size() || !isNameStart(m_in[nameStart])) {
            // A "<" that starts no tag is text.
            text();
            return;
        }
        qsizetype nameEnd = nameStart;
        while (nameEnd < m_in.size() && isNameCharacter(m_in[nameEnd]))
            ++nameEnd;
        const QString name = m_in.mid(nameStart, nameEnd - nameStart).toString().toLower();
        const qsizetype end = tagEnd(nameEnd);
        if (end < 0) {
            // A tag that never ends: nothing after it can be told apart from it.
            m_pos = m_in.size();
            return;
        }
        if (closing)
            endTag(name, end);
        else
            startTag(name, end);
    }

    // Moves past the next `terminator` at or after `from`, or to the end.
    void skipPast(QStringView terminator, qsizetype from)
    {
        const qsizetype found = m_in.indexOf(terminator, from, Qt::CaseInsensitive);
        m_pos = found < 0 ? m_in.size() : found + terminator.size();
    }

    // The index just past the tag's ">", or -1. A quote opens a value only right after "=".
    qsizetype tagEnd(qsizetype from) const
    {
        QChar quote;
        bool afterEquals = false;
        for (qsizetype i = from; i < m_in.size(); ++i) {
            const QChar c = m_in[i];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
                continue;
            }
            if (afterEquals && (c == u'"' || c == u'\'')) {
                quote = c;
                afterEquals = false;
                continue;
            }
            if (c == u'>')
                return i + 1;
            if (c == u'=')
                afterEquals = true;
            else if (!c.isSpace())
                afterEquals = false;
        }
        return -1;
    }

    void emitTag(qsizetype end)
    {
        m_out.append(m_in.mid(m_pos, end - m_pos));
        m_pos = end;
    }

    void startTag(const QString &name, qsizetype end)
    {
        if (isDroppedBlock(name)) {
            skipDroppedBlock(name, end);
            return;
        }
        const qsizetype length = end - m_pos;
        if (m_owner.m_markup + length > m_owner.m_limits.markup) {
            cut();
            return;
        }
        closeImpliedElements(name);
        const bool cell = name == "td"_L1 || name == "th"_L1;
        const bool selfClosing = end >= 2 && m_in[end - 2] == u'/';
        const bool opens = !isVoidElement(name) && !selfClosing;
        if (opens && m_open.size() >= m_owner.m_limits.depth) {
            cut();
            return;
        }
        if (name == "table"_L1 && m_tables >= m_owner.m_limits.tableDepth) {
            cut();
            return;
        }
        const bool block = isBlockElement(name);
        if (block)
            startBlock();
        if (name == "table"_L1 || name == "tr"_L1)
            m_rowCells = 0;
        if (!spend(startTagCost(block, cell)))
            return;
        if (cell)
            ++m_rowCells;
        else if (!block)
            ++m_blockElements;
        m_owner.m_markup += length;
        if (opens)
            push(name);
        m_wordLength = 0;
        m_longWord = false;
        emitTag(end);
    }

    qsizetype startTagCost(bool block, bool cell) const
    {
        if (cell)
            return blockCost + tableCellCost + m_rowCells * rowCellGrowth;
        if (block)
            return blockCost;
        return elementCost + elementCost * m_blockElements / elementGrowth;
    }

    void startBlock()
    {
        m_blockUnits = 0;
        m_blockElements = 0;
    }

    void endTag(const QString &name, qsizetype end)
    {
        if (m_owner.m_markup + (end - m_pos) > m_owner.m_limits.markup) {
            cut();
            return;
        }
        const qsizetype found = m_open.lastIndexOf(name);
        if (found >= 0)
            popTo(found);
        if (isBlockElement(name))
            startBlock();
        if (name == "table"_L1 || name == "tr"_L1)
            m_rowCells = 0;
        m_owner.m_markup += end - m_pos;
        m_wordLength = 0;
        m_longWord = false;
        emitTag(end);
    }

    void skipDroppedBlock(const QString &name, qsizetype contentStart)
    {
        const QString closing = u"</"_s + name;
        qsizetype at = contentStart;
        while (true) {
            at = m_in.indexOf(closing, at, Qt::CaseInsensitive);
            if (at < 0) {
                m_pos = m_in.size();
                return;
            }
            const qsizetype after = at + closing.size();
            if (after >= m_in.size() || !isNameCharacter(m_in[after]))
                break;
            at = after;
        }
        const qsizetype end = m_in.indexOf(u'>', at);
        m_pos = end < 0 ? m_in.size() : end + 1;
    }

    // A new paragraph, list item, row or cell ends the one still open beside it.
    void closeImpliedElements(const QString &name)
    {
        if (name == "p"_L1)
            closeOpen({"p"_L1},
                      {"table"_L1, "td"_L1, "th"_L1, "li"_L1, "ul"_L1, "ol"_L1, "dl"_L1, "blockquote"_L1});
        else if (name == "li"_L1)
            closeOpen({"li"_L1}, {"ul"_L1, "ol"_L1, "table"_L1});
        else if (name == "dt"_L1 || name == "dd"_L1)
            closeOpen({"dt"_L1, "dd"_L1}, {"dl"_L1, "table"_L1});
        else if (name == "tr"_L1)
            closeOpen({"tr"_L1, "td"_L1, "th"_L1}, {"table"_L1});
        else if (name == "td"_L1 || name == "th"_L1)
            closeOpen({"td"_L1, "th"_L1}, {"table"_L1, "tr"_L1});
        else if (name == "option"_L1)
            closeOpen({"option"_L1}, {"select"_L1});
    }

    void closeOpen(std::initializer_list<QLatin1StringView> family,
                   std::initializer_list<QLatin1StringView> boundaries)
    {
        for (qsizetype i = m_open.size() - 1; i >= 0; --i) {
            if (isOneOf(m_open[i], boundaries))
                return;
            if (isOneOf(m_open[i], family)) {
                popTo(i);
                return;
            }
        }
    }

    void push(const QString &name)
    {
        m_open.append(name);
        m_tables += name == "table"_L1;
    }

    void popTo(qsizetype index)
    {
        for (qsizetype i = index; i < m_open.size(); ++i)
            m_tables -= m_open[i] == "table"_L1;
        m_open.resize(index);
    }

    ContentSanitizer &m_owner;
    QStringView m_in;
    qsizetype m_pos = 0;
    QString m_out;
    QList<QString> m_open;
    int m_tables = 0;
    int m_wordLength = 0;
    bool m_longWord = false;
    // What the block being written has cost so far, and the elements in it.
    qsizetype m_blockUnits = 0;
    qsizetype m_blockElements = 0;
    qsizetype m_rowCells = 0;
};

QString ContentSanitizer::sanitize(QStringView html)
{
    if (m_cut)
        return {};
    return Pass(*this, html).run();
}
