#pragma once

class RefreshPool;

// What a feed source asks its owner: the manager, or whatever stands in for it in tools.
class RefreshEnvironment {
public:
    virtual ~RefreshEnvironment() = default;
    // How many sources the owner holds; refresh capacity grows with it.
    virtual int numberOfSources() const = 0;
    // Whether the network is reachable now.
    virtual bool internetAvailable() const = 0;
    // Where the owner's refreshes run, and the arrival numbers and last success they share.
    virtual RefreshPool &refreshPool() = 0;
};
