#include "model/source/itemfilereadahead.h"

#include <QThread>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

// Fewer files than this are not worth a thread.
constexpr qsizetype filesPerHelper = 16;

} // namespace

ItemFileReadAhead::ItemFileReadAhead(const QStringList &uuids)
{
    std::vector<ItemFile::Contents> lists(size_t(uuids.size()));
    std::atomic<qsizetype> next = 0;
    auto decode = [&] {
        for (qsizetype i = next++; i < uuids.size(); i = next++)
            lists[size_t(i)] = ItemFile(uuids.at(i)).read();
    };
    const qsizetype helperCount =
        std::min<qsizetype>(QThread::idealThreadCount() - 1, uuids.size() / filesPerHelper);
    std::vector<std::thread> helpers;
    for (qsizetype i = 0; i < helperCount; ++i)
        helpers.emplace_back(decode);
    decode();
    for (std::thread &helper : helpers)
        helper.join();

    m_contents.reserve(uuids.size());
    for (qsizetype i = 0; i < uuids.size(); ++i)
        m_contents.insert(uuids.at(i), std::move(lists[size_t(i)]));
}

std::optional<ItemFile::Contents> ItemFileReadAhead::take(const QString &uuid)
{
    const auto found = m_contents.find(uuid);
    if (found == m_contents.end())
        return std::nullopt;
    ItemFile::Contents contents = std::move(*found);
    m_contents.erase(found);
    return contents;
}
