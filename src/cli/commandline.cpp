#include "cli/commandline.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace {

struct CommandOption {
    CliRequest::Command command;
    QCommandLineOption option;
};

QList<CommandOption> commandOptions()
{
    using Command = CliRequest::Command;
    return {
        {Command::Headless,
         QCommandLineOption(u"headless"_s,
                            u"Run the ticker in the terminal: print each new headline as it comes in."_s)},
        {Command::ListFeeds,
         QCommandLineOption(u"list-feeds"_s, u"List the feeds with their state and last error."_s)},
        {Command::AddFeed,
         QCommandLineOption(u"add-feed"_s, u"Subscribe to the feed at <address>."_s, u"address"_s)},
        {Command::DeleteFeed,
         QCommandLineOption(
             u"delete-feed"_s,
             u"Unsubscribe from <feed>: its number in --list-feeds, its address or its uuid."_s, u"feed"_s)},
        {Command::EnableFeed, QCommandLineOption(u"enable-feed"_s, u"Enable <feed>."_s, u"feed"_s)},
        {Command::DisableFeed, QCommandLineOption(u"disable-feed"_s, u"Disable <feed>."_s, u"feed"_s)},
        {Command::ImportOpml,
         QCommandLineOption(u"import-opml"_s, u"Subscribe to the feeds of an OPML <file>."_s, u"file"_s)},
        {Command::ExportOpml,
         QCommandLineOption(u"export-opml"_s,
                            u"Write the subscriptions to an OPML <file> (\"-\": standard output)."_s,
                            u"file"_s)},
        {Command::RefreshOnce,
         QCommandLineOption(
             u"refresh-once"_s,
             u"Refresh every enabled feed once and print the merged headlines (with --list-feeds: the feeds)."_s)},
    };
}

void describe(QCommandLineParser &parser, const QList<CommandOption> &commands)
{
    parser.setApplicationDescription(
        u"A news ticker for your RSS and Atom feeds.\n\n"
        "Exit status: 0 on success, 1 when the command failed, 2 for a wrong command line."_s);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        u"link"_s, u"A feed: link or feed address to subscribe to (starts the ticker window)."_s,
        u"[link]"_s);
    for (const CommandOption &command : commands)
        parser.addOption(command.option);
}

} // namespace

CliRequest CommandLine::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QList<CommandOption> commands = commandOptions();
    describe(parser, commands);

    CliRequest request;
    if (!parser.parse(arguments)) {
        request.errorString = parser.errorText();
        return request;
    }
    if (parser.isSet(u"help"_s) || parser.isSet(u"help-all"_s)) {
        request.command = CliRequest::Command::Help;
        return request;
    }
    if (parser.isSet(u"version"_s)) {
        request.command = CliRequest::Command::Version;
        return request;
    }

    QList<CommandOption> chosen;
    for (const CommandOption &command : commands) {
        if (parser.isSet(command.option))
            chosen.append(command);
    }
    if (chosen.size() == 2 && chosen[0].command == CliRequest::Command::ListFeeds &&
        chosen[1].command == CliRequest::Command::RefreshOnce) {
        request.refreshFirst = true;
        chosen.removeLast();
    }
    if (chosen.size() > 1) {
        request.errorString = u"Give one command at a time (--%1 and --%2 were both given)."_s.arg(
            chosen[0].option.names().first(), chosen[1].option.names().first());
        return request;
    }
    const QStringList positional = parser.positionalArguments();
    if (chosen.isEmpty()) {
        // The desktop starts Vantrel with the feed: link the user opened.
        if (positional.size() > 1)
            request.errorString = u"Unexpected argument: %1"_s.arg(positional.at(1));
        else
            request.link = positional.value(0);
        return request;
    }
    if (!positional.isEmpty()) {
        request.errorString = u"Unexpected argument: %1"_s.arg(positional.first());
        return request;
    }

    const CommandOption &command = chosen.first();
    request.command = command.command;
    if (!command.option.valueName().isEmpty()) {
        const QStringList values = parser.values(command.option);
        if (values.size() > 1) {
            request.errorString = u"--%1 takes one value."_s.arg(command.option.names().first());
            return request;
        }
        request.argument = values.first();
        if (request.argument.trimmed().isEmpty())
            request.errorString =
                u"--%1 needs a %2."_s.arg(command.option.names().first(), command.option.valueName());
    }
    return request;
}

QString CommandLine::helpText()
{
    QCommandLineParser parser;
    describe(parser, commandOptions());
    return parser.helpText();
}
