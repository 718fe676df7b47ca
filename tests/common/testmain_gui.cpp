#include <QGuiApplication>
#include <QTemporaryDir>
#include <gmock/gmock.h>

namespace {

void setIfUnset(const char *name, const QByteArray &value)
{
    if (!qEnvironmentVariableIsSet(name))
        qputenv(name, value);
}

} // namespace

// Tests of the desktop layers run with a GUI application object (clipboard, link handlers) and
// never reach the user's real desktop: no display, no session bus (tests start their own), and
// the null sound device.
int main(int argc, char **argv)
{
    setIfUnset("QT_QPA_PLATFORM", "offscreen");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    qputenv("CANBERRA_DRIVER", "alsa");
    qputenv("CANBERRA_DEVICE", "null");
    QTemporaryDir runtimeDir;
    setIfUnset("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());

    QGuiApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
