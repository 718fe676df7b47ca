#pragma once

#include <QString>
#include <QStringView>

// Makes an entry's HTML, written by strangers, safe and quick to show: `<script>` and `<style>`
// blocks and comments are dropped, and a document that would take the rich-text layout long (a lot
// of text, thousands of elements or table cells, tables nested in tables, one word of thousands of
// letters) is cut where it passes a budget, with a visible "…" where it ends. Everything else is
// passed on unchanged: what the HTML may load or open is decided where it is loaded or opened.
//
// One sanitizer spends one budget: the texts of one document (its title, then its content) are
// passed through the same object.
class ContentSanitizer {
public:
    struct Limits {
        // A rough cost of laying the document out, in characters of text: an element costs 8, a
        // block (a paragraph, a list item) 32, a table cell 160 more; each costs more the more
        // its block or row already holds.
        qsizetype budget = 80 * 1024;
        // Characters inside tags (long attributes such as embedded images) cost parsing only.
        qsizetype markup = 256 * 1024;
        // Open elements inside each other, and tables inside tables.
        int depth = 64;
        int tableDepth = 5;
        // A word longer than this gets a zero-width break opportunity after every so many letters.
        int wordLength = 100;
    };

    ContentSanitizer() = default;
    explicit ContentSanitizer(const Limits &limits) : m_limits(limits) {}

    // The fragment without scripts, styles and comments, cut when the budget runs out. Once it
    // has run out, every later fragment is empty.
    QString sanitize(QStringView html);

    // Whether a fragment was cut.
    bool wasCut() const { return m_cut; }

    static constexpr QChar ellipsis = QChar(0x2026);
    static constexpr QChar wordBreak = QChar(0x200b);

private:
    class Pass;

    Limits m_limits;
    qsizetype m_spent = 0;
    qsizetype m_markup = 0;
    bool m_cut = false;
};
