// vantrel_instanceprobe <channel> <count> <link>
//
// Claims the single-instance channel with the link. A secondary start prints "secondary" and
// exits 0 once the primary has taken the link. The primary prints "primary", then every link it
// holds (its own first) one per line once it holds <count>, and exits 0; it gives up after a
// minute (exit 3) so that a broken test cannot leave it running.

#include "platform/desktop/singleinstancechannel.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4) {
        QTextStream(stderr) << "usage: vantrel_instanceprobe <channel> <count> <link>\n";
        return 2;
    }
    const qsizetype expected = arguments.at(2).toInt();
    QTextStream out(stdout);

    SingleInstanceChannel channel(arguments.at(1));
    switch (channel.claim({arguments.at(3)})) {
    case SingleInstanceChannel::Role::Secondary:
        out << "secondary\n";
        return 0;
    case SingleInstanceChannel::Role::Failed:
        QTextStream(stderr) << channel.errorString() << '\n';
        return 1;
    case SingleInstanceChannel::Role::Primary:
        break;
    }

    QStringList links{arguments.at(3)};
    const auto finishWhenComplete = [&] {
        if (links.size() < expected)
            return;
        out << "primary\n" << links.join(u'\n') << '\n';
        out.flush();
        QCoreApplication::exit(0);
    };
    QObject::connect(&channel, &SingleInstanceChannel::messageReceived, &app, [&](const QString &link) {
        links.append(link);
        finishWhenComplete();
    });
    QTimer::singleShot(60000, &app, [] { QCoreApplication::exit(3); });
    QTimer::singleShot(0, &app, finishWhenComplete);
    return QCoreApplication::exec();
}
