#pragma once

#include "model/datasource.h"

// The smallest concrete source: it never fetches, so tests drive its items directly.
class TestSource : public Datasource {
public:
    using Datasource::Datasource;

    bool updateData() override { return true; }
    bool firstRun() const override { return m_firstRun; }
    void reset() override { m_firstRun = true; }

private:
    bool m_firstRun = true;
};
