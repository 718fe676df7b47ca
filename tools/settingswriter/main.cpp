// Usage: vantrel_settingswriter <folder>
// Saves the settings store in <folder> over and over, each generation with a counter and a
// payload that repeats the counter, so that a reader can tell a whole file from a torn one.
// Prints "ready" once the first generation is on disk; runs until it is killed.

#include "platform/userdefaults.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: vantrel_settingswriter <folder>\n";
        return 2;
    }
    UserDefaults store(QString::fromLocal8Bit(argv[1]));
    qint64 generation = store.integerForKey(u"generation"_s);
    for (bool announced = false;; announced = true) {
        ++generation;
        QVariantList payload;
        for (int i = 0; i < 2000; ++i)
            payload.append(u"entry %1 of generation %2"_s.arg(i).arg(generation));
        store.setObject(generation, u"generation"_s);
        store.setObject(payload, u"payload"_s);
        if (!store.synchronize())
            return 1;
        if (!announced) {
            QTextStream(stdout) << "ready\n";
            fflush(stdout);
        }
    }
}
