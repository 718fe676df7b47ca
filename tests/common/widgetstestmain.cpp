#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gmock/gmock.h>

// Suites that show widgets run with a QApplication, headless unless told otherwise.
int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A widget program with a display and no session bus would auto-launch one that outlives it.
    if (!qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    // Alert sounds go to the null device.
    if (!qEnvironmentVariableIsSet("CANBERRA_DEVICE")) {
        qputenv("CANBERRA_DRIVER", "alsa");
        qputenv("CANBERRA_DEVICE", "null");
    }
    QTemporaryDir runtimeDir;
    if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
