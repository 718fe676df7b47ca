#pragma once

// What a feed source asks its owner before and after a refresh.
class RefreshEnvironment {
public:
    virtual ~RefreshEnvironment() = default;
    // How many sources the owner holds; refresh capacity grows with it.
    virtual int numberOfSources() const = 0;
    // Whether the network is reachable now.
    virtual bool internetAvailable() const = 0;
};
