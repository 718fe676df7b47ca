// Opening the preview (both layout passes and the first paint) for entries of ordinary and hostile
// content, and following the row while the list scrolls. Offscreen; the "CPU" column is the main
// thread's time.
#include "model/entry/dataitem.h"
#include "model/entry/itemkeys.h"
#include "platform/desktop/canberrasoundplayer.h"
#include "platform/desktop/xdgurlschemehandlers.h"
#include "platform/settingskeys.h"
#include "platform/userdefaults.h"
#include "preview/vtpreviewwindowcontroller.h"
#include "services/browser/browsersupport.h"
#include "services/sharing/sharemanager.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// One preview on throw-away settings, without animations.
class Preview {
public:
    Preview()
    {
        defaults.registerDefaults({{SettingsKey::fontSize, 12}, {SettingsKey::fontName, u"Helvetica"_s}});
        VTPreviewWindowController::Options options;
        options.fadeDurationMs = 0;
        options.resizeDurationMs = 0;
        options.hideDelayMs = 0;
        controller = std::make_unique<VTPreviewWindowController>(defaults, browser, sharing, sounds, options);
    }

    void open(const DataItemPtr &item)
    {
        controller->setArrowLocation(QPoint(200, 300), true);
        controller->setDataItem(item);
        QCoreApplication::processEvents();
    }
    void shut()
    {
        controller->close();
        controller->hide();
        QCoreApplication::processEvents();
    }

    QTemporaryDir home;
    UserDefaults defaults{home.path() + u"/settings"_s};
    XdgUrlSchemeHandlers handlers;
    CanberraSoundPlayer sounds{home.path() + u"/sounds"_s};
    BrowserSupport browser{defaults, handlers, sounds};
    ShareManager sharing{browser};
    std::unique_ptr<VTPreviewWindowController> controller;
};

// Made in main, so that it goes before the application object.
Preview *sharedPreview = nullptr;

Preview &preview()
{
    return *sharedPreview;
}

DataItemPtr entry(const QString &content)
{
    auto item = std::make_shared<DataItem>();
    item->setObject(u"Council approves the harbour festival and new cycle lanes"_s, ItemKey::title);
    item->setObject(content, ItemKey::contentEncoded);
    item->setObject(u"https://news.example.org/story"_s, ItemKey::link);
    return item;
}

// An article of about `size` characters of HTML: paragraphs with links and emphasis, now and then
// a heading, a list or a small table.
QString article(qsizetype size)
{
    QString html;
    for (int i = 0; html.size() < size; ++i) {
        if (i % 9 == 4)
            html += u"<h2>Section %1</h2>"_s.arg(i);
        if (i % 11 == 7)
            html += u"<ul><li>the first point</li><li>a second, longer point</li><li>the last</li></ul>"_s;
        if (i % 13 == 9)
            html += u"<table><tr><th>Year</th><th>Visitors</th></tr><tr><td>2025</td><td>12 400</td></tr>"
                    u"<tr><td>2026</td><td>15 100</td></tr></table>"_s;
        html +=
            u"<p>Paragraph %1: the council met on Tuesday to discuss <a href=\"https://news.example.org/"
            u"budget/%1\">the budget</a> for the library, the <b>new cycle lanes</b> along the river and the "
            u"<i>festival</i> in the old harbour, which drew more visitors than ever.</p>"_s.arg(i);
    }
    return html;
}

QString repeated(const QString &piece, qsizetype size)
{
    QString text;
    text.reserve(size + piece.size());
    while (text.size() < size)
        text += piece;
    return text;
}

void openAndShut(benchmark::State &state, const DataItemPtr &item)
{
    Preview &shared = preview();
    for (auto _ : state) {
        shared.open(item);
        state.PauseTiming();
        shared.shut();
        state.ResumeTiming();
    }
}

void BM_OpenArticle(benchmark::State &state)
{
    openAndShut(state, entry(article(state.range(0))));
    state.SetLabel(QStringLiteral("%1 KB").arg(state.range(0) / 1024).toStdString());
}
BENCHMARK(BM_OpenArticle)->Arg(2 * 1024)->Arg(50 * 1024)->Unit(benchmark::kMillisecond);

void BM_OpenHostile(benchmark::State &state, const QString &content)
{
    openAndShut(state, entry(content));
}
BENCHMARK_CAPTURE(BM_OpenHostile, script,
                  article(2048) + repeated(u"<script>for(;;){}</script>"_s, 100 * 1024))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenHostile, style,
                  repeated(u"<style>p { font-size: 300px }</style><p>styled</p>"_s, 100 * 1024))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenHostile, nested_tables, repeated(u"<table><tr><td>cell"_s, 60 * 1024))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenHostile, table_rows,
                  u"<table>"_s + repeated(u"<tr><td>cell</td><td>cell</td></tr>"_s, 200 * 1024))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenHostile, table_cells, u"<table><tr>"_s + repeated(u"<td>cell</td>"_s, 200 * 1024))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenHostile, text_5MB,
                  repeated(u"All work and no play makes Jack a dull boy. "_s, 5 << 20))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenHostile, endless_word, QString(5 << 20, u'w'))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenHostile, line_breaks, repeated(u"line<br>"_s, 1 << 20))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenHostile, nested_elements, repeated(u"<div><b>"_s, 1 << 20))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_OpenHostile, links,
                  repeated(u"<a href=\"javascript:alert(1)\">js</a> <a href=\"file:///etc/passwd\">f</a> "_s,
                           100 * 1024))
    ->Unit(benchmark::kMillisecond);

// The list scrolls by a row height at a time and the window moves with the arrow.
void BM_FollowRow(benchmark::State &state)
{
    Preview &shared = preview();
    shared.open(entry(article(2 * 1024)));
    const QRect frame = shared.controller->window()->geometry();
    int step = 0;
    for (auto _ : state) {
        const int y = frame.top() + 20 + (step++ % 2) * (frame.height() + 40);
        shared.controller->setArrowLocation(QPoint(200, y), true);
    }
    // A preview that closed on the way would have made every call after it nearly free.
    if (!shared.controller->window()->isVisible() || shared.controller->isHidePending())
        state.SkipWithError("the preview closed while following the row");
    shared.shut();
}
BENCHMARK(BM_FollowRow)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    qputenv("CANBERRA_DRIVER", "alsa");
    qputenv("CANBERRA_DEVICE", "null");
    QApplication app(argc, argv);
    Preview instance;
    sharedPreview = &instance;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
