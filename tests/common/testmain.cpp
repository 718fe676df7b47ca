#include <QCoreApplication>
#include <gmock/gmock.h>

// Tests run with a Qt application object so that event loops, timers and queued calls work.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
