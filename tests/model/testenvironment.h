#pragma once

#include "model/source/refreshenvironment.h"
#include "model/source/refreshpool.h"

#include <atomic>

// What sources ask their owner, answered as the test sets it; their refreshes run on its pool.
class TestEnvironment : public RefreshEnvironment {
public:
    int numberOfSources() const override { return sources.load(); }
    bool internetAvailable() const override { return online.load(); }
    RefreshPool &refreshPool() override { return pool; }

    std::atomic<int> sources = 1;
    std::atomic<bool> online = true;
    RefreshPool pool;
};
