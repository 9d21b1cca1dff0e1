// Targets: saving and reopening a document of 1000 collections with 100 000
// taxa take under 500 ms each; the taxa of one collection of 2000 among
// 100 000 taxa come back at once (well under a millisecond).

#include "store/DocumentFile.h"
#include "store/Store.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace quorvella {
namespace {

Store largeDocument(int collections, int taxaPerCollection)
{
    Store store;
    Store::Batch batch(store);
    for (int c = 0; c < collections; ++c) {
        Census census;
        census.censusName = "Station " + std::to_string(c);
        census.abundance = 1000 + c;
        census.richness = taxaPerCollection;
        census.shannon = 2.5 + c * 1e-3;
        census.chao = c % 7 == 0 ? std::numeric_limits<double>::infinity() : 100.0 + c;
        census.rarefactionRichness = c % 11 == 0 ? std::numeric_limits<double>::quiet_NaN() : 42.5;
        const RecordId id = store.insertCensus(std::move(census));
        for (int t = 0; t < taxaPerCollection; ++t) {
            Taxon taxon;
            taxon.census = id;
            taxon.taxonName = "Globigerinoides species " + std::to_string(t);
            taxon.abundance = (t * 37 + c) % 500;
            store.insertTaxon(std::move(taxon));
        }
    }
    return store;
}

std::filesystem::path benchFile(const char *name)
{
    return std::filesystem::temp_directory_path() /
           (std::string("quorvella-bench-") + std::to_string(::getpid()) + "-" + name + ".qvl");
}

void BM_SaveDocument1000Collections100000Taxa(benchmark::State &state)
{
    const Store store = largeDocument(1000, 100);
    const auto file = benchFile("save");
    for (auto _ : state) {
        DocumentFile::save(store, file);
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_SaveDocument1000Collections100000Taxa)->Unit(benchmark::kMillisecond);

void BM_LoadDocument1000Collections100000Taxa(benchmark::State &state)
{
    const auto file = benchFile("load");
    DocumentFile::save(largeDocument(1000, 100), file);
    for (auto _ : state) {
        Store loaded = DocumentFile::load(file);
        benchmark::DoNotOptimize(loaded.taxonCount());
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_LoadDocument1000Collections100000Taxa)->Unit(benchmark::kMillisecond);

void BM_TaxaOfOneCollectionOf2000Among100000(benchmark::State &state)
{
    const Store store = largeDocument(50, 2000);
    const RecordId middle = store.createArrayOfAllCensuses()[25].id;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.taxaOfCensus(middle));
    }
}
BENCHMARK(BM_TaxaOfOneCollectionOf2000Among100000)->Unit(benchmark::kMicrosecond);

void BM_DeleteAndRestoreCollectionOf2000Among100000(benchmark::State &state)
{
    Store store = largeDocument(50, 2000);
    const RecordId middle = store.createArrayOfAllCensuses()[25].id;
    for (auto _ : state) {
        store.restore(store.deleteCensuses(std::span(&middle, 1)));
    }
}
BENCHMARK(BM_DeleteAndRestoreCollectionOf2000Among100000)->Unit(benchmark::kMillisecond);

void BM_InsertImportOf1000Collections100000Taxa(benchmark::State &state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(largeDocument(1000, 100).taxonCount());
    }
}
BENCHMARK(BM_InsertImportOf1000Collections100000Taxa)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quorvella
