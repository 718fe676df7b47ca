#include "platform/desktop/peercredentials.h"
#include "platform/desktop/singleinstancechannel.h"

#include "common/qtprinters.h"
#include "common/waitfor.h"
#include "platform/capturedwarnings.h"

#include <QLocalSocket>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtEndian>
#include <gtest/gtest.h>

#include <cstring>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// A channel name no other test run uses.
QString uniqueChannel()
{
    return u"vantrel-test-%1-%2"_s.arg(getpid()).arg(QRandomGenerator::global()->generate());
}

sockaddr_un abstractAddress(const QString &name, socklen_t *length)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = name.toUtf8();
    std::memcpy(address.sun_path + 1, bytes.constData(), size_t(bytes.size()));
    *length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size_t(bytes.size()));
    return address;
}

// The forked children below run as another user, so they must be root to begin with. Between fork
// and _exit they call only async-signal-safe functions.
class OtherUserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "only root can run a peer as another user";
        const passwd *nobody = getpwnam("nobody");
        ASSERT_NE(nobody, nullptr);
        otherUid = nobody->pw_uid;
        otherGid = nobody->pw_gid;
        ASSERT_NE(otherUid, geteuid());
    }

    static void becomeOtherUser(uid_t uid, gid_t gid)
    {
        if (setgid(gid) != 0 || setuid(uid) != 0)
            _exit(90);
    }

    // The child's exit status, running the event loop while waiting so that servers of this thread work.
    static int waitForChild(pid_t child)
    {
        int status = -1;
        const bool ended = waitFor([&] { return waitpid(child, &status, WNOHANG) == child; }, 20000);
        if (!ended) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return -1;
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    uid_t otherUid = 0;
    gid_t otherGid = 0;
};

} // namespace

TEST(SingleInstanceChannelTest, eightSimultaneousStartsMakeOneInstanceThatReceivesEveryLink)
{
    for (int round = 0; round < 3; ++round) {
        const QString channel = uniqueChannel();
        QStringList links;
        std::vector<std::unique_ptr<QProcess>> starts;
        for (int i = 0; i < 8; ++i) {
            links.append(u"feed://example.org/%1/feed%2.xml?a=1&b=%20"_s.arg(round).arg(i));
            starts.push_back(std::make_unique<QProcess>());
            starts.back()->start(QString::fromUtf8(VANTREL_INSTANCE_PROBE), {channel, u"8"_s, links.back()});
        }
        QStringList primaries;
        int secondaries = 0;
        for (const auto &start : starts) {
            ASSERT_TRUE(start->waitForFinished(60000));
            ASSERT_EQ(start->exitCode(), 0) << start->readAllStandardError().toStdString();
            const QStringList lines =
                QString::fromUtf8(start->readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
            ASSERT_FALSE(lines.isEmpty());
            if (lines.first() == u"primary"_s)
                primaries = lines.mid(1);
            else
                secondaries += lines.first() == u"secondary"_s;
        }
        EXPECT_EQ(secondaries, 7);
        primaries.sort();
        links.sort();
        EXPECT_EQ(primaries, links);
    }
}

TEST(SingleInstanceChannelTest, aBrokenMessageCostsItsConnectionOnly)
{
    CapturedWarnings warnings;
    const QString channel = uniqueChannel();
    SingleInstanceChannel primary(channel);
    ASSERT_EQ(primary.claim({}), SingleInstanceChannel::Role::Primary);
    QSignalSpy received(&primary, &SingleInstanceChannel::messageReceived);

    QLocalSocket oversized;
    oversized.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
    oversized.connectToServer(primary.socketName());
    QByteArray header(4, '\0');
    qToBigEndian(quint32(SingleInstanceChannel::maximumMessageSize + 1), header.data());
    oversized.write(header + QByteArray(100, 'x'));
    ASSERT_TRUE(waitFor([&] { return oversized.state() == QLocalSocket::UnconnectedState; }));
    EXPECT_EQ(received.count(), 0);
    EXPECT_TRUE(warnings.joined().contains(u"Dropped a connection"_s));

    QProcess secondary;
    secondary.start(QString::fromUtf8(VANTREL_INSTANCE_PROBE),
                    {channel, u"1"_s, u"feed:https://example.org/rss"_s});
    ASSERT_TRUE(waitFor([&] { return secondary.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(QString::fromUtf8(secondary.readAllStandardOutput()).trimmed(), u"secondary"_s);
    ASSERT_EQ(received.count(), 1);
    EXPECT_EQ(received.at(0).at(0).toString(), u"feed:https://example.org/rss"_s);
}

TEST_F(OtherUserTest, thePeerCheckTellsUsersApart)
{
    const QString name = uniqueChannel();
    socklen_t length = 0;
    const sockaddr_un address = abstractAddress(name, &length);
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr *>(&address), length), 0);
    ASSERT_EQ(::listen(listener, 4), 0);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        becomeOtherUser(otherUid, otherGid);
        const int peer = socket(AF_UNIX, SOCK_STREAM, 0);
        _exit(connect(peer, reinterpret_cast<const sockaddr *>(&address), length) == 0 ? 0 : 91);
    }
    const int fromOther = accept(listener, nullptr, nullptr);
    EXPECT_EQ(waitForChild(child), 0);
    EXPECT_EQ(PeerCredentials::peerUid(fromOther), std::optional<uid_t>(otherUid));
    EXPECT_FALSE(PeerCredentials::isSameUser(fromOther));

    const int own = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(connect(own, reinterpret_cast<const sockaddr *>(&address), length), 0);
    const int fromSelf = accept(listener, nullptr, nullptr);
    EXPECT_TRUE(PeerCredentials::isSameUser(fromSelf));

    const int unconnected = socket(AF_UNIX, SOCK_STREAM, 0);
    EXPECT_EQ(PeerCredentials::peerUid(unconnected), std::nullopt);
    EXPECT_FALSE(PeerCredentials::isSameUser(unconnected));
    EXPECT_FALSE(PeerCredentials::isSameUser(-1));
    for (const int fd : {listener, fromOther, own, fromSelf, unconnected})
        close(fd);
}

TEST_F(OtherUserTest, aChannelHeldByAnotherUserIsNeverGivenALink)
{
    SingleInstanceChannel channel(uniqueChannel());
    socklen_t length = 0;
    const sockaddr_un address = abstractAddress(channel.socketName(), &length);
    int ready[2];
    int done[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(done), 0);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Squats on the name of the user's channel and reports whether anything arrived.
        close(done[1]);
        becomeOtherUser(otherUid, otherGid);
        const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
        if (bind(listener, reinterpret_cast<const sockaddr *>(&address), length) != 0 ||
            ::listen(listener, 4) != 0)
            _exit(92);
        (void)!write(ready[1], "r", 1);
        char byte;
        (void)!read(done[0], &byte, 1);
        const int connection = accept(listener, nullptr, nullptr);
        char received[64];
        _exit(connection >= 0 && read(connection, received, sizeof received) > 0 ? 1 : 0);
    }
    close(ready[1]);
    close(done[0]);
    char byte;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);

    EXPECT_EQ(channel.claim({u"feed://example.org/private"_s}), SingleInstanceChannel::Role::Failed);
    EXPECT_TRUE(channel.errorString().contains(u"another user"_s)) << channel.errorString().toStdString();
    close(done[1]);
    EXPECT_EQ(waitForChild(child), 0) << "the other user's process received data";
    close(ready[0]);
}

TEST_F(OtherUserTest, thePrimaryRefusesAnotherUsersConnection)
{
    CapturedWarnings warnings;
    SingleInstanceChannel primary(uniqueChannel());
    ASSERT_EQ(primary.claim({}), SingleInstanceChannel::Role::Primary);
    QSignalSpy received(&primary, &SingleInstanceChannel::messageReceived);
    socklen_t length = 0;
    const sockaddr_un address = abstractAddress(primary.socketName(), &length);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Sends a message; exits 0 when the connection ends without an acknowledgement.
        becomeOtherUser(otherUid, otherGid);
        const int peer = socket(AF_UNIX, SOCK_STREAM, 0);
        if (connect(peer, reinterpret_cast<const sockaddr *>(&address), length) != 0)
            _exit(93);
        const char message[] = "\0\0\0\x0b"
                               "feed://evil";
        (void)!write(peer, message, sizeof message - 1);
        char answer;
        const ssize_t got = read(peer, &answer, 1);
        _exit(got == 1 ? 1 : 0);
    }
    EXPECT_EQ(waitForChild(child), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(received.count(), 0);
    EXPECT_TRUE(warnings.joined().contains(u"from another user"_s));
}
