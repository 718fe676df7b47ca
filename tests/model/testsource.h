#pragma once

#include "model/source/datasource.h"

// The smallest concrete source: it never fetches, so tests drive its items directly.
class TestSource : public Datasource {
public:
    using Datasource::Datasource;

    // Shared and loaded, as the manager makes its sources.
    static std::shared_ptr<TestSource> create(const std::optional<QVariantMap> &configuration,
                                              UserDefaults &defaults, const Clock &clock,
                                              RefreshEnvironment &environment)
    {
        auto source = std::make_shared<TestSource>(configuration, defaults, clock, environment);
        source->load();
        return source;
    }

    bool updateData() override { return true; }
    bool firstRun() const override { return m_firstRun; }
    void reset() override { m_firstRun = true; }

private:
    bool m_firstRun = true;
};
