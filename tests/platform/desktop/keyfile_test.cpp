#include "platform/desktop/keyfile.h"

#include "common/qtprinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString entry = u"Desktop Entry"_s;

} // namespace

TEST(KeyFileTest, readsValuesOfTheFirstGroupAndKeyWithTheirEscapes)
{
    const KeyFile file = KeyFile::fromText("# comment\n"
                                           "[Desktop Entry]\n"
                                           "Name = Feed Reader\n"
                                           "Name[de]=Feedleser\n"
                                           "Comment=\\sTwo\\nlines\\tand \\\\ backslash\n"
                                           "MimeType=x-scheme-handler/feed;text/x-a\\;b;\n"
                                           "Hidden=true\n"
                                           "Name=Second Name Ignored\n"
                                           "[Desktop Entry]\n"
                                           "Exec=ignored\n"
                                           "[Desktop Action New]\n"
                                           "Name=New\n");
    EXPECT_EQ(file.string(entry, u"Name"_s), u"Feed Reader"_s);
    EXPECT_EQ(file.localeString(entry, u"Name"_s, u"de_AT"_s), u"Feedleser"_s);
    EXPECT_EQ(file.localeString(entry, u"Name"_s, u"fr_FR"_s), u"Feed Reader"_s);
    EXPECT_EQ(file.string(entry, u"Comment"_s), u" Two\nlines\tand \\ backslash"_s);
    EXPECT_EQ(file.list(entry, u"MimeType"_s), (QStringList{u"x-scheme-handler/feed"_s, u"text/x-a;b"_s}));
    EXPECT_TRUE(file.boolean(entry, u"Hidden"_s, false));
    EXPECT_FALSE(file.contains(entry, u"Exec"_s));
    EXPECT_EQ(file.string(u"Desktop Action New"_s, u"Name"_s), u"New"_s);
    EXPECT_EQ(file.keys(entry),
              (QStringList{u"Name"_s, u"Name[de]"_s, u"Comment"_s, u"MimeType"_s, u"Hidden"_s}));
    EXPECT_EQ(file.rawValue(entry, u"Missing"_s), std::nullopt);
    EXPECT_TRUE(file.string(entry, u"Missing"_s).isNull() || file.string(entry, u"Missing"_s).isEmpty());
}

TEST(KeyFileTest, ignoresWhatIsNotAnEntry)
{
    const KeyFile file = KeyFile::fromText("Orphan=before any group\n"
                                           "[Group]\n"
                                           "no equals sign here\n"
                                           "=no key\n"
                                           "bad key!=x\n"
                                           "Good=yes\n"
                                           "Flag=maybe\n");
    EXPECT_FALSE(file.contains(u"Group"_s, u"Orphan"_s));
    EXPECT_EQ(file.keys(u"Group"_s), (QStringList{u"Good"_s, u"Flag"_s}));
    EXPECT_TRUE(file.boolean(u"Group"_s, u"Flag"_s, true));
    EXPECT_FALSE(file.boolean(u"Group"_s, u"Flag"_s, false));
}

TEST(KeyFileTest, editingKeepsEveryOtherLineByteForByte)
{
    const QByteArray original = "# written by another program\r\n"
                                "[Default Applications]\r\n"
                                "text/html=browser.desktop;\r\n"
                                "\r\n"
                                "# a note about added ones\r\n"
                                "[Added Associations]\r\n"
                                "image/png=\xff\xfe-not-utf8.desktop;\r\n"
                                "line that is not an entry\r\n";
    KeyFile file = KeyFile::fromText(original);
    file.setRawValue(u"Default Applications"_s, u"x-scheme-handler/feed"_s, u"vantrel.desktop;"_s);
    EXPECT_EQ(file.toText(), QByteArray("# written by another program\r\n"
                                        "[Default Applications]\r\n"
                                        "text/html=browser.desktop;\r\n"
                                        "x-scheme-handler/feed=vantrel.desktop;\n"
                                        "\r\n"
                                        "# a note about added ones\r\n"
                                        "[Added Associations]\r\n"
                                        "image/png=\xff\xfe-not-utf8.desktop;\r\n"
                                        "line that is not an entry\r\n"));

    file.setRawValue(u"Default Applications"_s, u"text/html"_s, u"other.desktop;"_s);
    EXPECT_EQ(file.string(u"Default Applications"_s, u"text/html"_s), u"other.desktop;"_s);
    file.remove(u"Default Applications"_s, u"x-scheme-handler/feed"_s);
    file.setRawValue(u"Default Applications"_s, u"text/html"_s, u"browser.desktop;"_s);
    EXPECT_EQ(file.toText(),
              QByteArray(original).replace("text/html=browser.desktop;\r\n", "text/html=browser.desktop;\n"));
}

TEST(KeyFileTest, addsAMissingGroupAtTheEndAndKeepsAFileWithoutFinalNewline)
{
    KeyFile file = KeyFile::fromText("[A]\nx=1");
    file.setRawValue(u"B"_s, u"y"_s, u"2"_s);
    EXPECT_EQ(file.toText(), "[A]\nx=1\n\n[B]\ny=2");

    KeyFile empty;
    empty.setString(u"Desktop Entry"_s, u"Name"_s, u" lead"_s);
    EXPECT_EQ(empty.toText(), "[Desktop Entry]\nName=\\slead\n");
}

TEST(KeyFileTest, escapedValuesReadBackUnchanged)
{
    const QString value = u" a\\b;c\nd\te"_s;
    const QStringList list{u"one;two"_s, u"back\\slash"_s, u""_s, u"x"_s};
    KeyFile file;
    file.setString(u"G"_s, u"S"_s, value);
    file.setRawValue(u"G"_s, u"L"_s, KeyFile::escapeList(list));
    const KeyFile reread = KeyFile::fromText(file.toText());
    EXPECT_EQ(reread.string(u"G"_s, u"S"_s), value);
    EXPECT_EQ(reread.list(u"G"_s, u"L"_s), list);
}
