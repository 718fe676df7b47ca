#pragma once

#include <QString>

class UserDefaults;

// Whether the network can reach the probe host (the "reachabilityHost" setting) now, decided
// without sending traffic: the name is resolved and the kernel is asked for a route to one of
// its addresses. Subclasses in tests answer as they are told.
class Reachability {
public:
    explicit Reachability(const UserDefaults &defaults);
    virtual ~Reachability() = default;

    // False when the host cannot be resolved or no address of it has a route.
    virtual bool isReachable() const;

    // The same question for any host name or numeric address.
    static bool hasRouteToHost(const QString &host);

    // The application's instance, reading UserDefaults::standardUserDefaults().
    static Reachability &standard();

private:
    const UserDefaults &m_defaults;
};
