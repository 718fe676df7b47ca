#pragma once

#include <sys/types.h>

#include <optional>

// Who is at the other end of a connected local (AF_UNIX) socket.
namespace PeerCredentials {
// The peer's user id; nullopt when the system cannot tell (not a local socket, not connected).
std::optional<uid_t> peerUid(int socketDescriptor);
// Whether the peer runs as this process's effective user; false when that cannot be told.
bool isSameUser(int socketDescriptor);
} // namespace PeerCredentials
