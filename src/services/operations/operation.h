#pragma once

// A unit of background work for an OperationQueue: configured, queued, run once on a worker thread,
// then read by whoever kept it.
class Operation {
public:
    virtual ~Operation() = default;
    virtual void main() = 0;
};
