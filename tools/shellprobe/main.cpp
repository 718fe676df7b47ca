#include "app/desktopstart.h"
#include "app/preferencesopener.h"
#include "app/widgettickerwindow.h"
#include "cli/clirequest.h"
#include "cli/commandline.h"
#include "model/manager/datasourcemanager.h"

#include <QUrl>
#include <QWidget>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// An empty window in the bar's place that says when it comes to the front.
class StandInBar final : public TickerWindow {
public:
    StandInBar() { m_widget.setObjectName(u"standInBar"_s); }
    bool isVisible() const override { return m_window.isVisible(); }
    void orderFront() override
    {
        m_window.orderFront();
        say(u"bar: front"_s);
    }
    void orderOut() override { m_window.orderOut(); }
    void setTaskbarPresence(bool present) override { m_window.setTaskbarPresence(present); }
    QObject *context() { return &m_widget; }

private:
    QWidget m_widget;
    WidgetTickerWindow m_window{&m_widget};
};

// Preferences that print what they are asked to do.
class StandInPreferences final : public PreferencesOpener {
public:
    void showPreferences() override { say(u"preferences: show"_s); }
    void addFeed(const QUrl &address) override
    {
        say(u"preferences: add "_s + address.toString(QUrl::FullyEncoded));
    }
    void importOpml() override { say(u"preferences: import"_s); }
};

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CliRequest request = CommandLine::parse(arguments);
    if (!request.errorString.isEmpty() || request.command != CliRequest::Command::None) {
        std::fprintf(stderr, "The probe takes only a link.\n");
        return 2;
    }
    return DesktopStart::run(argc, argv, request, [](DatasourceManager &manager, UserDefaults &) {
        auto bar = std::make_unique<StandInBar>();
        // Published on the merge worker; said on the main thread.
        QObject::connect(&manager, &DatasourceManager::itemsPublished, bar->context(),
                         [&manager] { say(u"headlines: %1"_s.arg(manager.items().size())); });
        manager.merge(); // as the bar does when it opens: the stored headlines at once
        return DesktopStart::Windows{std::move(bar), std::make_unique<StandInPreferences>()};
    });
}
