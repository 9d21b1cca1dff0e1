// Targets: saving and reopening a document of 1000 collections with 100 000
// taxa take under 500 ms each; the taxa of one collection of 2000 among
// 100 000 taxa come back at once (well under a millisecond).
//
// Community scale (bench/scale's 1000 x 20 000 matrix, 2 million taxa):
// BM_BytesPerRecord reports the heap a record costs in the store (target:
// 64 bytes or less on average), for the imported matrix and for the worst
// case of the abundance list, 2 million taxa with distinct generated names;
// BM_SaveCommunityDocument and BM_OpenCommunityDocument time writing and
// reading its document (scale_bench measures the whole processes).

#include "../scale/CommunityTable.h"
#include "store/DocumentFile.h"
#include "store/Store.h"
#include "store/StoreImport.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <malloc.h>
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

const std::string &communityMatrix()
{
    static const std::string text = bench::makeCommunityMatrix();
    return text;
}

Store communityDocument()
{
    Store store;
    addCollectionGroupToMOCFromString(store, communityMatrix());
    return store;
}

// 2 million ones: the list that makes the most records per byte of text.
std::string longAbundanceList()
{
    std::string text;
    for (int i = 0; i < 2'000'000; ++i) {
        text += "1\n";
    }
    return text;
}

void BM_BytesPerRecord(benchmark::State &state)
{
    const bool matrix = state.range(0) == 0;
    const std::string text = matrix ? communityMatrix() : longAbundanceList();
    double bytesPerRecord = 0;
    double records = 0;
    for (auto _ : state) {
        const std::size_t before = mallinfo2().uordblks;
        Store store;
        if (matrix) {
            addCollectionGroupToMOCFromString(store, text);
        } else {
            addAbundanceListToMOCFromString(store, text);
        }
        const std::size_t after = mallinfo2().uordblks;
        records = static_cast<double>(store.censusCount() + store.taxonCount());
        bytesPerRecord = static_cast<double>(after - before) / records;
    }
    state.counters["bytes_per_record"] = bytesPerRecord;
    state.counters["records"] = records;
}
BENCHMARK(BM_BytesPerRecord)
    ->ArgName("list")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_SaveCommunityDocument(benchmark::State &state)
{
    const Store store = communityDocument();
    const auto file = benchFile("community-save");
    for (auto _ : state) {
        DocumentFile::save(store, file);
    }
    state.counters["document_MB"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
    std::filesystem::remove(file);
}
BENCHMARK(BM_SaveCommunityDocument)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_OpenCommunityDocument(benchmark::State &state)
{
    const auto file = benchFile("community-open");
    DocumentFile::save(communityDocument(), file);
    for (auto _ : state) {
        Store loaded = DocumentFile::load(file);
        benchmark::DoNotOptimize(loaded.taxonCount());
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_OpenCommunityDocument)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace quorvella
