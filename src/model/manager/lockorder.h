#pragma once

// The model's locks, written once. When locks nest, they are taken top to bottom in this order,
// never the other way; a leaf is taken last, with nothing locked inside it. "Report" is a call to
// the source's DatasourceDelegate (the manager); "hand-off" is RefreshPool::runOnMainThread
// or MainThread::runAndWait.
//
// | Lock                          | Guards                                      | Report | Hand-off |
// |-------------------------------|---------------------------------------------|--------|----------|
// | StarManager lock              | starred records, the cached list            | -      | no       |
// | SourceRegistry lock           | the list of sources, the one-pass record    | yes    | no       |
// |   (manager's sourcesLock())   |                                             |        |          |
// | Datasource lock() (recursive) | its SourceEntries, marked set, image        | yes    | no       |
// | ArrivalQueue lock             | the arrival queue                           | no     | no       |
// | DatasourceManager state lock  | filter, generations, published list, front  | no     | no       |
// | RetiredList lock (leaf)       | the retired lists                           | no     | no       |
// | DatasourceManager save lock   | sources whose item files wait (leaf)        | no     | no       |
// | Datasource field, last-update, error locks; RSSDatasource address, option locks (leaves)  |
// | DataItem lock (leaf)          | the entry's properties                      | no     | no       |
// | RefreshPool mutex (leaf)      | threads, hand-offs, closing                 | no     | no       |
// | ThreadHandOff publication and completion locks (leaves): hand-offs seen by ThreadSanitizer |
//
// A refresh files entries under its source's lock(), so reports may arrive under it, on the
// thread that made the change (an announced arrival always does, so that a merge reading the
// source finds it queued): the manager's handlers take only the queue, state and save locks,
// and never wait for another thread. A hand-off waits for the main thread, which may itself wait
// for any lock above, so none may be held across one.
