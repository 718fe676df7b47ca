#include "preview/contentsanitizer.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace Qt::StringLiterals;

namespace {

QString sanitized(const QString &html, const ContentSanitizer::Limits &limits = {})
{
    ContentSanitizer sanitizer(limits);
    return sanitizer.sanitize(html);
}

QString repeated(const QString &piece, int times)
{
    QString text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

struct Dropped {
    const char *name;
    QString html;
    QString expected;
};

void PrintTo(const Dropped &value, std::ostream *out)
{
    *out << value.name;
}

class DroppedContentTest : public ::testing::TestWithParam<Dropped> {};

} // namespace

TEST(ContentSanitizerTest, anOrdinaryArticlePassesUnchanged)
{
    const QString article =
        u"<div class=\"story\"><p>Rain &amp; wind at <b>noon</b>&nbsp;&#8212; see <a "
        u"href='https://x.org/a?b=1&c=2' "
        u"title=\"it's > 3\">the map</a>.</p><ul><li>one<li>two</ul><table><tr><td>a<td>b<tr><td>c</table>"
        u"<p>A < B, 3 <4 and <br/> <img src=\"https://x.org/i.png\" width=\"20\" height=\"10\"></p>"
        u"<pre>  code\n  more</pre></div>"_s;
    ContentSanitizer sanitizer;
    EXPECT_EQ(sanitizer.sanitize(article), article);
    EXPECT_FALSE(sanitizer.wasCut());
}

TEST(ContentSanitizerTest, aLongArticleOf70KilobytesPassesWhole)
{
    QString article;
    for (int i = 0; article.size() < 70 * 1024; ++i) {
        if (i % 9 == 4)
            article += u"<h2>Section %1</h2>"_s.arg(i);
        if (i % 11 == 7)
            article += u"<ul><li>the first point</li><li>a second point</li><li>the last</li></ul>"_s;
        article +=
            u"<p>Paragraph %1: the council met to discuss <a href=\"https://x.org/%1\">the budget</a>, "
            u"the <b>cycle lanes</b> and the <i>festival</i> in the harbour.</p>"_s.arg(i);
    }
    ContentSanitizer sanitizer;
    EXPECT_EQ(sanitizer.sanitize(article), article);
}

TEST_P(DroppedContentTest, isGoneAndTheRestStays)
{
    EXPECT_EQ(sanitized(GetParam().html), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    ContentSanitizer, DroppedContentTest,
    ::testing::Values(
        Dropped{"script", u"<p>a<script type=\"text/javascript\">if (a < b) alert('</p>')</script>b</p>"_s,
                u"<p>ab</p>"_s},
        Dropped{"style", u"<style>p { display: none }</style><p>shown</p>"_s, u"<p>shown</p>"_s},
        Dropped{"upper case and spaces", u"x<SCRIPT >1</ScRiPt >y<Style\nmedia=all>p{}</STYLE>z"_s, u"xyz"_s},
        Dropped{"a closing tag that only starts alike", u"<script>a</scripts>b</script>c"_s, u"c"_s},
        Dropped{"unclosed script", u"<p>kept</p><script>document.write('<p>never</p>')"_s, u"<p>kept</p>"_s},
        Dropped{"comment", u"a<!-- <style>p{}</style> -->b<!--c"_s, u"ab"_s},
        Dropped{"declarations", u"<!DOCTYPE html><?xml version=\"1.0\"?><p>x</p>"_s, u"<p>x</p>"_s},
        Dropped{"style inside a quoted attribute is no style", u"<a title='<style>' href=\"x\">t</a>"_s,
                u"<a title='<style>' href=\"x\">t</a>"_s},
        Dropped{"a tag that never ends", u"<p>kept</p><img src=\"x\" onerror=\"a()\""_s, u"<p>kept</p>"_s}),
    [](const auto &param) {
        std::string name = param.param.name;
        for (char &c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(ContentSanitizerTest, fiveMegabytesOfTextInOneBlockAreCutToTheBudgetWithAVisibleEllipsis)
{
    const QString huge = repeated(u"All work and no play. "_s, 5 * 1024 * 1024 / 22);
    ContentSanitizer sanitizer;
    const QString cut = sanitizer.sanitize(huge);
    EXPECT_TRUE(sanitizer.wasCut());
    EXPECT_TRUE(cut.endsWith(ContentSanitizer::ellipsis));
    EXPECT_GT(cut.size(), 10000);
    EXPECT_LT(cut.size(), ContentSanitizer::Limits().budget);
    EXPECT_TRUE(huge.startsWith(cut.chopped(1)));
    // The budget is spent: whatever comes next in the document is left out.
    EXPECT_EQ(sanitizer.sanitize(u"<p>more</p>"_s), QString());
}

TEST(ContentSanitizerTest, tablesNestedTooDeepAreCutAtTheTableThatIsTooDeep)
{
    const QString nested = repeated(u"<table><tr><td>x"_s, 2000);
    const QString cut = sanitized(nested);
    EXPECT_EQ(cut, repeated(u"<table><tr><td>x"_s, 5) + ContentSanitizer::ellipsis);

    // Tables side by side are not nested, and closed ones do not count.
    const QString siblings = repeated(u"<table><tr><td><table><tr><td>x</table></table>"_s, 20);
    EXPECT_EQ(sanitized(siblings), siblings);
}

TEST(ContentSanitizerTest, elementsNestedTooDeepCellsAndElementsBeyondTheBudgetAreCut)
{
    EXPECT_EQ(sanitized(repeated(u"<b>"_s, 1000)), repeated(u"<b>"_s, 64) + ContentSanitizer::ellipsis);
    // Paragraphs and list items close their open neighbours: they never nest.
    const QString items = repeated(u"<li><p>x"_s, 200);
    EXPECT_EQ(sanitized(u"<ul>"_s + items), u"<ul>"_s + items);

    const QString cells = u"<table><tr>"_s + repeated(u"<td>a"_s, 5000);
    const QString cutCells = sanitized(cells);
    EXPECT_TRUE(cutCells.endsWith(ContentSanitizer::ellipsis));
    EXPECT_LT(cutCells.count(u"<td>"_s), 700);

    const QString spans = repeated(u"<span></span>"_s, 100000);
    EXPECT_LT(sanitized(spans).size(), 100000);
    const QString closings = repeated(u"</div>"_s, 1000000);
    EXPECT_LE(sanitized(closings).size(), ContentSanitizer::Limits().markup + 1);
}

TEST(ContentSanitizerTest, aVeryLongWordGetsPlacesToBreak)
{
    const QString word(250, u'a');
    const QString broken = sanitized(u"<p>"_s + word + u" end</p>"_s);
    EXPECT_EQ(broken, u"<p>"_s + QString(100, u'a') + ContentSanitizer::wordBreak + QString(100, u'a') +
                          ContentSanitizer::wordBreak + QString(50, u'a') + u" end</p>"_s);
    // An entity counts as one letter and is never split.
    const QString entities = repeated(u"&amp;"_s, 150);
    EXPECT_EQ(sanitized(entities),
              repeated(u"&amp;"_s, 100) + ContentSanitizer::wordBreak + repeated(u"&amp;"_s, 50));
}

TEST(ContentSanitizerTest, longAttributesCountAgainstTheMarkupLimit)
{
    ContentSanitizer::Limits limits;
    limits.markup = 1000;
    const QString image = u"<img src=\"data:image/png;base64,"_s + QString(2000, u'A') + u"\">"_s;
    EXPECT_EQ(sanitized(u"<p>before</p>"_s + image, limits), u"<p>before</p>"_s + ContentSanitizer::ellipsis);
}

TEST(ContentSanitizerTest, theTitleAndTheContentShareOneBudget)
{
    ContentSanitizer::Limits limits;
    limits.budget = 100;
    ContentSanitizer sanitizer(limits);
    EXPECT_EQ(sanitizer.sanitize(QString(60, u'x')), QString(60, u'x'));
    const QString content = sanitizer.sanitize(QString(u"<p>"_s + QString(60, u'y') + u"</p>"_s));
    EXPECT_EQ(content, u"<p>"_s + QString(8, u'y') + ContentSanitizer::ellipsis);
}
