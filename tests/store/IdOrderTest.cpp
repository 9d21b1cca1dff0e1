#include "store/IdOrder.h"

#include <gtest/gtest.h>
#include <random>
#include <set>
#include <vector>

namespace quorvella {
namespace {

std::vector<RecordId> listed(const IdOrder &order)
{
    std::vector<RecordId> ids;
    order.forEach([&](RecordId id) { ids.push_back(id); });
    return ids;
}

TEST(IdOrder, KeepsAscendingOrderThroughEveryKindOfChange)
{
    struct Row
    {
        const char *what;
        std::vector<RecordId> insert, erase, insertAgain;
        std::vector<RecordId> expected;
    };
    const Row rows[] = {
        {"appends", {1, 2, 3}, {}, {}, {1, 2, 3}},
        {"erase and revive in place", {1, 2, 3}, {2}, {2}, {1, 2, 3}},
        {"insert below the top", {1, 5}, {}, {3}, {1, 3, 5}},
        {"unsorted batch", {10}, {}, {7, 12, 2, 11}, {2, 7, 10, 11, 12}},
        {"erase unknown id", {1}, {9}, {}, {1}},
        {"erase twice", {1, 2}, {2, 2}, {}, {1}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        IdOrder order;
        order.insertMany(row.insert);
        for (const RecordId id : row.erase) {
            order.erase(id);
        }
        order.insertMany(row.insertAgain);
        EXPECT_EQ(listed(order), row.expected);
        EXPECT_EQ(order.size(), row.expected.size());
    }
}

TEST(IdOrder, AgreesWithAnOrderedSetUnderRandomChanges)
{
    std::mt19937 random(7);
    IdOrder order;
    std::set<RecordId> oracle;
    RecordId next = 1;
    for (int step = 0; step < 20000; ++step) {
        const auto choice = random() % 10;
        if (choice < 5) {
            order.insert(next);
            oracle.insert(next++);
        } else if (choice < 9 && !oracle.empty()) {
            const RecordId id =
                static_cast<RecordId>(random() % static_cast<std::uint64_t>(next)) + 1;
            order.erase(id);
            oracle.erase(id);
        } else {
            std::vector<RecordId> back; // restore some erased ids at once
            for (int i = 0; i < 50; ++i) {
                const RecordId id =
                    static_cast<RecordId>(random() % static_cast<std::uint64_t>(next)) + 1;
                if (id < next && oracle.insert(id).second) {
                    back.push_back(id);
                }
            }
            order.insertMany(back);
        }
    }
    EXPECT_EQ(listed(order), std::vector<RecordId>(oracle.begin(), oracle.end()));
    EXPECT_EQ(order.size(), oracle.size());
}

} // namespace
} // namespace quorvella
