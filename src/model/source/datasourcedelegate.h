#pragma once

#include "model/entry/dataitem.h"

class Datasource;

// How a source reports to its owner. Both reports are optional: the defaults do nothing.
// They arrive on the thread that made the change, possibly under the source's lock (see
// model/manager/lockorder.h).
class DatasourceDelegate {
public:
    virtual ~DatasourceDelegate() = default;

    // The source's items or their visibility changed.
    virtual void itemsDidChangeInDatasource(Datasource *source) { Q_UNUSED(source); }
    // A new arrival was filed at the top of the source.
    virtual void newItemInDatasource(const DataItemPtr &item, Datasource *source)
    {
        Q_UNUSED(item);
        Q_UNUSED(source);
    }
};
