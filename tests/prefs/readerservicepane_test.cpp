#include "prefsfixture.h"

#include "prefs/googlereadercontroller.h"
#include "services/operations/operationqueue.h"

#include <QAbstractButton>
#include <QFile>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

using ReaderServicePaneTest = PrefsFixture;

QStringList *capturedLog = nullptr;

void captureMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    capturedLog->append(message);
}

TEST_F(ReaderServicePaneTest, TypedCredentialsAreNeitherStoredNorLoggedAndTheButtonsDoNothing)
{
    openWindow(PreferencesController::ReaderServiceTag);
    const QByteArray settingsBefore = [&] {
        defaults.synchronize();
        QFile file(defaults.filePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    QStringList log;
    capturedLog = &log;
    const QtMessageHandler previous = qInstallMessageHandler(captureMessage);

    QTest::keyClicks(find<QLineEdit>(u"greaderAccount"_s), u"reader-account@example.org"_s);
    auto *password = find<QLineEdit>(u"greaderAccountPassword"_s);
    QTest::keyClicks(password, u"s3cret-word"_s);
    for (const char16_t *name : {u"loginButton", u"syncButton", u"logoutButton"})
        QTest::mouseClick(find<QAbstractButton>(QString::fromUtf16(name)), Qt::LeftButton);
    QCoreApplication::processEvents();

    qInstallMessageHandler(previous);
    capturedLog = nullptr;
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    ASSERT_TRUE(defaults.synchronize());
    QFile file(defaults.filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray settings = file.readAll();
    EXPECT_EQ(settings, settingsBefore);
    EXPECT_FALSE(settings.contains("s3cret-word"));
    EXPECT_FALSE(log.join(u'\n').contains(u"s3cret-word"_s));
    EXPECT_FALSE(log.join(u'\n').contains(u"reader-account"_s));
    GoogleReaderController *controller = window->googleReaderController();
    EXPECT_EQ(controller->operationQueue().operationCount(), 0);
    EXPECT_FALSE(controller->findPasswordForAccount(u"reader-account@example.org"_s));
}

} // namespace
