#include "platform/network/reachability.h"

#include "platform/settingskeys.h"
#include "platform/userdefaults.h"

#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Connecting a datagram socket sends nothing: the kernel only picks a route and a local address.
bool hasRoute(const addrinfo &address)
{
    const int fd = ::socket(address.ai_family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool routed = ::connect(fd, address.ai_addr, address.ai_addrlen) == 0;
    ::close(fd);
    return routed;
}

} // namespace

Reachability::Reachability(const UserDefaults &defaults) : m_defaults(defaults) {}

bool Reachability::isReachable() const
{
    return hasRouteToHost(m_defaults.stringForKey(SettingsKey::reachabilityHost));
}

bool Reachability::hasRouteToHost(const QString &host)
{
    const QByteArray name = host.trimmed().toUtf8();
    if (name.isEmpty())
        return false;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo *found = nullptr;
    if (::getaddrinfo(name.constData(), "80", &hints, &found) != 0)
        return false;
    bool routed = false;
    for (const addrinfo *address = found; address && !routed; address = address->ai_next)
        routed = hasRoute(*address);
    ::freeaddrinfo(found);
    return routed;
}

Reachability &Reachability::standard()
{
    static Reachability instance(UserDefaults::standardUserDefaults());
    return instance;
}
