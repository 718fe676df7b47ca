#include "cli/commandline.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using Command = CliRequest::Command;

namespace {

CliRequest parse(const QStringList &arguments)
{
    return CommandLine::parse(QStringList{u"vantrel"_s} + arguments);
}

} // namespace

TEST(CommandLineTest, readsEachCommandWithItsValue)
{
    EXPECT_EQ(parse({}).command, Command::None);
    const CliRequest linked = parse({u"feed:https://example.org/a b?x=1&y='2'"_s});
    EXPECT_EQ(linked.command, Command::None);
    EXPECT_EQ(linked.link, u"feed:https://example.org/a b?x=1&y='2'"_s);
    EXPECT_TRUE(linked.errorString.isEmpty());
    EXPECT_EQ(parse({u"--headless"_s}).command, Command::Headless);
    EXPECT_EQ(parse({u"--refresh-once"_s}).command, Command::RefreshOnce);

    const CliRequest add = parse({u"--add-feed"_s, u"feed://example.org/rss"_s});
    EXPECT_EQ(add.command, Command::AddFeed);
    EXPECT_EQ(add.argument, u"feed://example.org/rss"_s);
    EXPECT_TRUE(add.changesProfile());

    const CliRequest exported = parse({u"--export-opml=-"_s});
    EXPECT_EQ(exported.command, Command::ExportOpml);
    EXPECT_EQ(exported.argument, u"-"_s);
    EXPECT_FALSE(exported.changesProfile());

    const CliRequest listed = parse({u"--refresh-once"_s, u"--list-feeds"_s});
    EXPECT_EQ(listed.command, Command::ListFeeds);
    EXPECT_TRUE(listed.refreshFirst);
    EXPECT_TRUE(listed.changesProfile());
    EXPECT_FALSE(parse({u"--list-feeds"_s}).changesProfile());
}

TEST(CommandLineTest, refusesWhatItCannotDoInPlainWords)
{
    EXPECT_EQ(parse({u"--frobnicate"_s}).errorString, u"Unknown option 'frobnicate'."_s);
    EXPECT_EQ(parse({u"--add-feed"_s}).errorString, u"Missing value after '--add-feed'."_s);
    EXPECT_EQ(parse({u"--delete-feed"_s, u" "_s}).errorString, u"--delete-feed needs a feed."_s);
    EXPECT_EQ(parse({u"--headless"_s, u"--list-feeds"_s}).errorString,
              u"Give one command at a time (--headless and --list-feeds were both given)."_s);
    EXPECT_EQ(parse({u"feed://a/x"_s, u"stray"_s}).errorString, u"Unexpected argument: stray"_s);
    EXPECT_EQ(parse({u"--headless"_s, u"feed://a/x"_s}).errorString, u"Unexpected argument: feed://a/x"_s);
    EXPECT_EQ(parse({u"--add-feed"_s, u"a"_s, u"--add-feed"_s, u"b"_s}).errorString,
              u"--add-feed takes one value."_s);
}
