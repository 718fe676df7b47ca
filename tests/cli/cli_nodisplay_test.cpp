#include "cli/exitcode.h"
#include "common/temphome.h"
#include "vantrelrun.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Hides the display from the children started while it exists.
class NoDisplay {
public:
    NoDisplay()
    {
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
            m_saved.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
            qunsetenv(name);
        }
    }
    ~NoDisplay()
    {
        for (const Saved &saved : std::as_const(m_saved)) {
            if (saved.set)
                qputenv(saved.name, saved.value);
        }
    }

private:
    struct Saved {
        const char *name;
        QByteArray value;
        bool set;
    };
    QList<Saved> m_saved;
};

TEST(CliWithoutDisplay, withoutACommandItSaysThereIsNoDisplayAndPointsToTheHeadlessTicker)
{
    TempHome home;
    NoDisplay noDisplay;
    const VantrelRun::Result result = VantrelRun::run({});
    EXPECT_EQ(result.exitCode, ExitCode::failure);
    EXPECT_TRUE(result.err.contains(u"There is no display"_s)) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(u"vantrel --headless"_s)) << result.err.toStdString();
}

} // namespace
