#include "store/Store.h"

#include "log/Log.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvella {
namespace {

std::vector<RecordId> idsOf(const auto &records)
{
    std::vector<RecordId> ids;
    for (const auto &record : records) {
        ids.push_back(record.id);
    }
    return ids;
}

Census named(const char *name)
{
    Census census;
    census.censusName = name;
    return census;
}

Taxon taxonIn(std::optional<RecordId> census, const char *name, std::int32_t abundance)
{
    Taxon taxon;
    taxon.census = census;
    taxon.taxonName = name;
    taxon.abundance = abundance;
    return taxon;
}

TEST(Store, NewRecordsHaveNoAttributesAndTaxaStartIncluded)
{
    Store store;
    const Census census = *store.findCensus(store.insertCensus());
    EXPECT_TRUE(census.sameAttributes(Census{}));
    EXPECT_FALSE(census.censusName.has_value());
    EXPECT_FALSE(census.abundance.has_value());
    const Taxon taxon = *store.findTaxon(store.insertTaxon());
    EXPECT_FALSE(taxon.abundance.has_value());
    EXPECT_FALSE(taxon.census.has_value());
    EXPECT_TRUE(taxon.includeTaxon);
}

TEST(Store, FetchesKeepInsertionOrderAndIncludeEveryTaxon)
{
    Store store;
    const RecordId b = store.insertCensus(named("b"));
    const RecordId a = store.insertCensus(named("a"));
    const RecordId t1 = store.insertTaxon(taxonIn(a, "x", 1));
    const RecordId orphan = store.insertTaxon(taxonIn(std::nullopt, "o", 2));
    const RecordId t2 = store.insertTaxon(taxonIn(b, "y", 3));
    const RecordId t3 = store.insertTaxon(taxonIn(a, "z", 4));
    EXPECT_EQ(idsOf(store.createArrayOfAllCensuses()), (std::vector<RecordId>{b, a}));
    EXPECT_EQ(idsOf(store.createArrayOfAllTaxa()), (std::vector<RecordId>{t1, orphan, t2, t3}));
    EXPECT_EQ(idsOf(store.taxaOfCensus(a)), (std::vector<RecordId>{t1, t3}));
    EXPECT_EQ(idsOf(store.taxaOfCensus(b)), (std::vector<RecordId>{t2}));
    EXPECT_TRUE(store.taxaOfCensus(9999).empty());
}

TEST(Store, Queries)
{
    struct Row
    {
        int collections;
        int taxaInSelected;
        bool select;
        bool hasCensusData, hasAtLeastThree, hasTaxonData;
    };
    const Row rows[] = {
        {0, 0, false, false, false, false}, // empty document
        {1, 0, true, true, false, false},   // selected collection without taxa
        {1, 2, false, true, false, false},  // nothing selected
        {2, 1, true, true, false, true},    // exactly two collections
        {3, 1, true, true, true, true},     // three
    };
    for (const Row &row : rows) {
        Store store;
        std::optional<RecordId> selected;
        for (int i = 0; i < row.collections; ++i) {
            selected = store.insertCensus();
        }
        for (int i = 0; i < row.taxaInSelected; ++i) {
            store.insertTaxon(taxonIn(selected, "t", 1));
        }
        if (!row.select) {
            selected.reset();
        }
        SCOPED_TRACE(std::to_string(row.collections) + " collections");
        EXPECT_EQ(store.hasCensusData(), row.hasCensusData);
        EXPECT_EQ(store.hasAtLeastThreeCensuses(), row.hasAtLeastThree);
        EXPECT_EQ(store.hasTaxonData(selected), row.hasTaxonData);
        if (row.collections == 0) {
            EXPECT_TRUE(store.createArrayOfAllCensuses().empty());
            EXPECT_TRUE(store.createArrayOfAllTaxa().empty());
        }
    }
}

TEST(Store, DeletingACollectionDeletesItsTaxaAndRestoreUndoesIt)
{
    Store store;
    const RecordId a = store.insertCensus(named("a"));
    const RecordId b = store.insertCensus(named("b"));
    store.insertTaxon(taxonIn(a, "x", 1));
    store.insertTaxon(taxonIn(b, "y", 2));
    store.insertTaxon(taxonIn(a, "z", 3));
    const auto censusesBefore = store.createArrayOfAllCensuses();
    const auto taxaBefore = store.createArrayOfAllTaxa();

    const RecordId toDelete[] = {a};
    const DeletedRecords removed = store.deleteCensuses(toDelete);
    EXPECT_EQ(removed.censuses.size(), 1u);
    EXPECT_EQ(removed.taxa.size(), 2u);
    EXPECT_EQ(store.findCensus(a), nullptr);
    EXPECT_EQ(store.taxonCount(), 1u);

    store.restore(removed);
    const auto censusesAfter = store.createArrayOfAllCensuses();
    const auto taxaAfter = store.createArrayOfAllTaxa();
    ASSERT_EQ(idsOf(censusesAfter), idsOf(censusesBefore));
    ASSERT_EQ(idsOf(taxaAfter), idsOf(taxaBefore));
    for (std::size_t i = 0; i < taxaAfter.size(); ++i) {
        EXPECT_TRUE(taxaAfter[i].sameAttributes(taxaBefore[i]));
    }
    EXPECT_EQ(store.taxaOfCensus(a).size(), 2u);
    // New records still come after everything, also after restored ones.
    EXPECT_GT(store.insertCensus(), taxaBefore.back().id);
}

TEST(Store, RefusedChangesLeaveTheStoreAsItWas)
{
    Store store;
    const RecordId a = store.insertCensus();
    const RecordId t = store.insertTaxon(taxonIn(a, "x", 1));
    store.setModified(false);
    const std::vector<std::pair<const char *, std::function<void()>>> refused = {
        {"taxon in an unknown collection", [&] { store.insertTaxon(taxonIn(12345, "x", 1)); }},
        {"counted taxa in an unknown collection",
         [&] {
             const CountedTaxon counted{store.internTaxonName("x"), 1};
             store.insertCountedTaxa(12345, std::span(&counted, 1));
         }},
        {"update of an unknown collection", [&] { store.updateCensus(Census{.id = 777}); }},
        {"update of an unknown taxon", [&] { store.updateTaxon(Taxon{.id = 777}); }},
        {"taxon moved to an unknown collection",
         [&] {
             Taxon moved = *store.findTaxon(t);
             moved.census = 4242;
             store.updateTaxon(moved);
         }},
        {"restore of an id in use",
         [&] {
             DeletedRecords again;
             again.censuses.push_back(Census{.id = 900});
             again.censuses.push_back(Census{.id = a});
             store.restore(again);
         }},
        {"restore of a taxon whose collection is gone",
         [&] {
             DeletedRecords lost;
             lost.taxa.push_back(taxonIn(555, "x", 1));
             lost.taxa.back().id = 901;
             store.restore(lost);
         }},
    };
    for (const auto &[what, change] : refused) {
        SCOPED_TRACE(what);
        EXPECT_THROW(change(), std::invalid_argument);
        EXPECT_EQ(store.censusCount(), 1u);
        EXPECT_EQ(store.taxonCount(), 1u);
        EXPECT_EQ(store.findTaxon(t)->census, a);
        EXPECT_FALSE(store.isModified());
    }
}

TEST(Store, MovingATaxonUpdatesTheTaxaOfBothCollections)
{
    Store store;
    const RecordId a = store.insertCensus();
    const RecordId b = store.insertCensus();
    Taxon taxon = *store.findTaxon(store.insertTaxon(taxonIn(a, "x", 1)));
    taxon.census = b;
    store.updateTaxon(taxon);
    EXPECT_EQ(store.taxonCountOfCensus(a), 0u);
    EXPECT_EQ(idsOf(store.taxaOfCensus(b)), (std::vector<RecordId>{taxon.id}));
    taxon.census.reset();
    store.updateTaxon(taxon);
    EXPECT_EQ(store.taxonCountOfCensus(b), 0u);
    EXPECT_EQ(store.taxonCount(), 1u);
}

// The packed taxa against the plainest model (a map from id to record) over
// random edits, deletes and undos; enough deletes to drop dead slots, and
// restores of old ids after that, which put records between living ones.
TEST(Store, PackedTaxaBehaveLikeAMapOfRecordsUnderRandomEdits)
{
    Store store;
    std::map<RecordId, Taxon> model;
    std::vector<RecordId> censuses;
    for (const char *name : {"a", "b", "c"}) {
        censuses.push_back(store.insertCensus(named(name)));
    }
    std::vector<DeletedRecords> undo;
    std::mt19937 random(7);
    const auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    const auto anyTaxon = [&] {
        return std::next(model.begin(), static_cast<long>(pick(model.size())))->second;
    };
    for (int step = 0; step < 4000; ++step) {
        const std::size_t action = pick(10);
        if (action == 0) { // the imports' fast step: several counted taxa at once
            const RecordId census = censuses[pick(3)];
            const std::string name = pick(2) == 0 ? "x" : "imported " + std::to_string(step);
            const std::vector<CountedTaxon> counted(pick(4) + 1,
                                                    {store.internTaxonName(name), 1 + step});
            store.insertCountedTaxa(census, counted);
            RecordId id = idsOf(store.createArrayOfAllTaxa()).back() - std::ssize(counted);
            for (const CountedTaxon &taxon : counted) {
                Taxon expected = taxonIn(census, name.c_str(), taxon.abundance);
                expected.id = ++id;
                model[id] = expected;
            }
        } else if (action < 5 || model.empty()) {
            Taxon taxon = taxonIn(pick(8) == 0 ? std::nullopt : std::optional(censuses[pick(3)]),
                                  pick(5) == 0 ? "Globigerina bulloides d'Orbigny 1826" : "x",
                                  static_cast<std::int32_t>(pick(50)));
            taxon.taxonName = pick(6) == 0 ? std::nullopt : taxon.taxonName;
            taxon.id = store.insertTaxon(taxon);
            model[taxon.id] = taxon;
        } else if (action < 7) {
            Taxon taxon = anyTaxon();
            taxon.census = pick(4) == 0 ? std::nullopt : std::optional(censuses[pick(3)]);
            taxon.abundance = pick(3) == 0 ? std::nullopt : std::optional(std::int32_t(-3));
            taxon.includeTaxon = !taxon.includeTaxon;
            store.updateTaxon(taxon);
            model[taxon.id] = taxon;
        } else if (action < 9) {
            std::vector<RecordId> ids;
            for (std::size_t n = pick(40) + 1; n > 0 && !model.empty(); --n) {
                ids.push_back(anyTaxon().id);
                model.erase(ids.back());
            }
            undo.push_back(store.deleteTaxa(ids));
        } else if (!undo.empty()) {
            const DeletedRecords back = undo[pick(undo.size())];
            std::erase_if(undo, [&](const DeletedRecords &r) {
                return r.taxa.front().id == back.taxa.front().id;
            });
            for (const Taxon &taxon : back.taxa) {
                model[taxon.id] = taxon;
            }
            store.restore(back);
        }
        if (step % 200 == 0 || step == 3999) {
            std::vector<Taxon> expected;
            for (const auto &entry : model) {
                expected.push_back(entry.second);
            }
            const std::vector<Taxon> all = store.createArrayOfAllTaxa();
            ASSERT_EQ(idsOf(all), idsOf(expected)) << "step " << step;
            for (std::size_t i = 0; i < all.size(); ++i) {
                ASSERT_TRUE(all[i].sameAttributes(expected[i])) << "taxon " << all[i].id;
            }
            for (const RecordId census : censuses) {
                std::vector<RecordId> members;
                for (const Taxon &taxon : expected) {
                    if (taxon.census == census) {
                        members.push_back(taxon.id);
                    }
                }
                ASSERT_EQ(idsOf(store.taxaOfCensus(census)), members) << "step " << step;
            }
        }
    }
}

TEST(Store, RemoveOrphanedTaxaDeletesOnlyOrphansWithOneLogLineEach)
{
    Store store;
    const RecordId census = store.insertCensus();
    store.insertTaxon(taxonIn(std::nullopt, "a", 1));
    const RecordId kept = store.insertTaxon(taxonIn(census, "k", 1));
    store.insertTaxon(taxonIn(std::nullopt, "b", 1));
    store.insertTaxon(taxonIn(std::nullopt, "c", 1));
    store.insertTaxon(Taxon{}); // an orphan without a name

    std::vector<std::string> lines;
    const LogSink previous = setLogSink([&](std::string_view line) { lines.emplace_back(line); });
    int notifications = 0;
    store.addObserver([&](const StoreChanges &) { ++notifications; });
    const DeletedRecords removed = store.removeOrphanedTaxa();
    setLogSink(previous);

    EXPECT_EQ(lines, (std::vector<std::string>{"orphaned taxon a removed from database",
                                               "orphaned taxon b removed from database",
                                               "orphaned taxon c removed from database",
                                               "orphaned taxon (null) removed from database"}));
    EXPECT_EQ(removed.taxa.size(), 4u);
    EXPECT_EQ(idsOf(store.createArrayOfAllTaxa()), (std::vector<RecordId>{kept}));
    EXPECT_EQ(notifications, 1);
}

// Notifications: what observers hear for a sequence of changes.
struct Heard
{
    int notifications = 0;
    StoreChanges last;
};

TEST(StoreNotifications, ChangesAreFoldedPerBatch)
{
    struct Row
    {
        const char *what;
        std::function<void(Store &, RecordId existing)> changes;
        int notifications;
        std::size_t inserted, updated, deleted; // census counts of the last notification
        bool modified = true;
    };
    const Row rows[] = {
        {"one insert", [](Store &s, RecordId) { s.insertCensus(); }, 1, 1, 0, 0},
        {"1000 inserts in a batch",
         [](Store &s, RecordId) {
             Store::Batch batch(s);
             for (int i = 0; i < 1000; ++i) {
                 s.insertCensus();
             }
         },
         1, 1000, 0, 0},
        {"insert then update in a batch",
         [](Store &s, RecordId) {
             Store::Batch batch(s);
             Census c = *s.findCensus(s.insertCensus());
             c.censusName = "late";
             s.updateCensus(c);
         },
         1, 1, 0, 0},
        {"insert then delete in a batch",
         [](Store &s, RecordId) {
             Store::Batch batch(s);
             const RecordId id = s.insertCensus();
             s.deleteCensuses(std::span(&id, 1));
         },
         0, 0, 0, 0},
        {"update with the values it has",
         [](Store &s, RecordId existing) { s.updateCensus(*s.findCensus(existing)); }, 0, 0, 0, 0,
         false},
        {"update then delete in a batch",
         [](Store &s, RecordId existing) {
             Store::Batch batch(s);
             Census c = *s.findCensus(existing);
             c.richness = 4;
             s.updateCensus(c);
             s.deleteCensuses(std::span(&existing, 1));
         },
         1, 0, 0, 1},
        {"delete and restore in a batch",
         [](Store &s, RecordId existing) {
             Store::Batch batch(s);
             s.restore(s.deleteCensuses(std::span(&existing, 1)));
         },
         1, 0, 1, 0},
        {"nested batches",
         [](Store &s, RecordId) {
             Store::Batch outer(s);
             {
                 Store::Batch inner(s);
                 s.insertCensus();
             }
             s.insertCensus();
         },
         1, 2, 0, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        Store store;
        const RecordId existing = store.insertCensus(named("existing"));
        store.setModified(false);
        Heard heard;
        store.addObserver([&](const StoreChanges &changes) {
            ++heard.notifications;
            heard.last = changes;
        });
        row.changes(store, existing);
        EXPECT_EQ(heard.notifications, row.notifications);
        EXPECT_EQ(heard.last.insertedCensuses.size(), row.inserted);
        EXPECT_EQ(heard.last.updatedCensuses.size(), row.updated);
        EXPECT_EQ(heard.last.deletedCensuses.size(), row.deleted);
        EXPECT_EQ(store.isModified(), row.modified);
    }
}

// A batch of taxon changes reports what an observer comparing the store
// before and after would expect: inserted = alive only after (final values),
// deleted = alive only before (values when deleted), updated = alive in both
// and changed or deleted and put back; each list in store order. The shapes
// cover the runs of a large import and its undo (ids ascending on insert,
// descending on delete) and mixtures that interrupt them.
TEST(StoreNotifications, TaxonBatchesMatchBeforeAndAfter)
{
    struct Row
    {
        const char *what;
        unsigned seed;
        std::vector<int> ops; // weights: insert, insert counted, delete, restore, update
    };
    const Row rows[] = {
        {"inserts only", 1, {1, 1, 0, 0, 0}},
        {"deletes only", 2, {0, 0, 1, 0, 0}},
        {"delete and restore", 3, {0, 0, 2, 2, 0}},
        {"inserts, then deletes and restores", 4, {2, 2, 2, 1, 0}},
        {"everything", 5, {1, 1, 1, 1, 1}},
        {"everything, another draw", 6, {2, 1, 3, 2, 2}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        std::mt19937 random(row.seed);
        Store store;
        const RecordId census = store.insertCensus(named("c"));
        for (int i = 0; i < 40; ++i) {
            store.insertTaxon(taxonIn(census, "before", i));
        }
        std::map<RecordId, Taxon> before;
        for (const Taxon &taxon : store.createArrayOfAllTaxa()) {
            before.emplace(taxon.id, taxon);
        }
        std::vector<StoreChanges> heard;
        store.addObserver([&](const StoreChanges &changes) { heard.push_back(changes); });
        std::map<RecordId, Taxon> lastDeleted;
        std::vector<RecordId> touched;
        std::vector<DeletedRecords> graveyard;
        const NameTable::Number name = store.internTaxonName("counted");
        {
            Store::Batch batch(store);
            std::discrete_distribution<int> pick(row.ops.begin(), row.ops.end());
            for (int step = 0; step < 60; ++step) {
                std::vector<RecordId> alive = idsOf(store.createArrayOfAllTaxa());
                switch (pick(random)) {
                case 0:
                    store.insertTaxon(taxonIn(census, "new", step));
                    break;
                case 1: {
                    const std::vector<CountedTaxon> counted(1 + random() % 30, {name, step + 1});
                    store.insertCountedTaxa(census, counted);
                    break;
                }
                case 2: {
                    std::shuffle(alive.begin(), alive.end(), random);
                    alive.resize(std::min<std::size_t>(alive.size(), random() % 12));
                    if (random() % 2 == 0) { // as undo deletes: the last first
                        std::sort(alive.rbegin(), alive.rend());
                    }
                    graveyard.push_back(store.deleteTaxa(alive));
                    for (const Taxon &taxon : graveyard.back().taxa) {
                        lastDeleted.insert_or_assign(taxon.id, taxon);
                        touched.push_back(taxon.id);
                    }
                    break;
                }
                case 3:
                    if (!graveyard.empty()) {
                        store.restore(graveyard.back());
                        graveyard.pop_back();
                    }
                    break;
                default:
                    if (!alive.empty()) {
                        Taxon taxon = *store.findTaxon(alive[random() % alive.size()]);
                        taxon.abundance = 1000 + step;
                        store.updateTaxon(taxon);
                        touched.push_back(taxon.id);
                    }
                    break;
                }
            }
        }
        StoreChanges expected;
        for (const Taxon &after : store.createArrayOfAllTaxa()) {
            if (!before.contains(after.id)) {
                expected.insertedTaxa.push_back(after);
            } else if (std::find(touched.begin(), touched.end(), after.id) != touched.end()) {
                expected.updatedTaxa.push_back(after);
            }
        }
        for (const auto &[id, taxon] : before) {
            if (!store.findTaxon(id)) {
                expected.deletedTaxa.push_back(lastDeleted.at(id));
            }
        }
        ASSERT_LE(heard.size(), 1u);
        const StoreChanges got = heard.empty() ? StoreChanges{} : heard.front();
        const auto same = [](const std::vector<Taxon> &a, const std::vector<Taxon> &b) {
            return std::equal(
                a.begin(), a.end(), b.begin(), b.end(),
                [](const Taxon &x, const Taxon &y) { return x.id == y.id && x.sameAttributes(y); });
        };
        EXPECT_TRUE(same(got.insertedTaxa, expected.insertedTaxa));
        EXPECT_TRUE(same(got.updatedTaxa, expected.updatedTaxa));
        EXPECT_TRUE(same(got.deletedTaxa, expected.deletedTaxa));
        EXPECT_FALSE(expected.insertedTaxa.empty() && expected.deletedTaxa.empty() &&
                     expected.updatedTaxa.empty());
    }
}

TEST(StoreNotifications, ReportsFinalValuesAndDeletedValues)
{
    Store store;
    const RecordId census = store.insertCensus(named("c"));
    const RecordId taxonId = store.insertTaxon(taxonIn(census, "old", 1));
    std::vector<StoreChanges> heard;
    const auto observer = store.addObserver([&](const StoreChanges &c) { heard.push_back(c); });

    Taxon taxon = *store.findTaxon(taxonId);
    taxon.taxonName = "new";
    taxon.includeTaxon = false;
    store.updateTaxon(taxon);
    store.deleteCensuses(std::span(&census, 1));
    store.removeObserver(observer);
    store.insertCensus();

    ASSERT_EQ(heard.size(), 2u);
    ASSERT_EQ(heard[0].updatedTaxa.size(), 1u);
    EXPECT_EQ(heard[0].updatedTaxa[0].taxonName, "new");
    EXPECT_FALSE(heard[0].updatedTaxa[0].includeTaxon);
    ASSERT_EQ(heard[1].deletedTaxa.size(), 1u);
    EXPECT_EQ(heard[1].deletedTaxa[0].taxonName, "new");
    ASSERT_EQ(heard[1].deletedCensuses.size(), 1u);
    EXPECT_EQ(heard[1].deletedCensuses[0].censusName, "c");
}

TEST(StoreNotifications, ReplacingAllRecordsKeepsObserversAndSaysReset)
{
    Store store;
    store.insertCensus();
    bool reset = false;
    store.addObserver([&](const StoreChanges &c) { reset = c.reset; });
    Store loaded;
    loaded.insertCensus();
    loaded.insertCensus();
    loaded.setModified(false);
    store.replaceAllRecords(std::move(loaded));
    EXPECT_TRUE(reset);
    EXPECT_EQ(store.censusCount(), 2u);
    EXPECT_FALSE(store.isModified());
}

} // namespace
} // namespace quorvella
