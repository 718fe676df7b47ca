#include "platform/desktop/peercredentials.h"

#include <sys/socket.h>
#include <unistd.h>

std::optional<uid_t> PeerCredentials::peerUid(int socketDescriptor)
{
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (socketDescriptor < 0 ||
        getsockopt(socketDescriptor, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0 ||
        length != sizeof credentials || credentials.pid == 0)
        return std::nullopt;
    return credentials.uid;
}

bool PeerCredentials::isSameUser(int socketDescriptor)
{
    const std::optional<uid_t> uid = peerUid(socketDescriptor);
    return uid && *uid == geteuid();
}
