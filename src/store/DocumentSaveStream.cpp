#include "store/DocumentSaveStream.h"

#include "store/DocumentFile.h"
#include "store/DocumentFileFailure.h"
#include "store/DocumentWriter.h"
#include "store/FileReplacement.h"
#include "store/SqliteDatabase.h"
#include "store/Store.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

namespace quorvella {
namespace {

// Records on their way to the writing thread, names copied.
struct RecordChunk
{
    std::vector<Census> censuses;
    std::vector<TaxonView> taxa; // names point into `names`
    std::vector<char> names;
};

// The records with ids from firstId up to endId (exclusive), which are
// recordsPerChunk at most.
RecordChunk chunkOf(const Store &store, RecordId firstId, RecordId endId)
{
    RecordChunk chunk;
    store.forEachCensusIn(firstId, endId,
                          [&](const Census &census) { chunk.censuses.push_back(census); });
    chunk.taxa.reserve(static_cast<std::size_t>(endId - firstId));
    std::size_t nameBytes = 0;
    store.forEachTaxonViewIn(firstId, endId, [&](const TaxonView &taxon) {
        chunk.taxa.push_back(taxon);
        nameBytes += taxon.taxonName ? taxon.taxonName->size() : 0;
    });
    chunk.names.resize(nameBytes);
    char *next = chunk.names.data();
    for (TaxonView &taxon : chunk.taxa) {
        if (taxon.taxonName && !taxon.taxonName->empty()) {
            std::memcpy(next, taxon.taxonName->data(), taxon.taxonName->size());
            taxon.taxonName = std::string_view(next, taxon.taxonName->size());
            next += taxon.taxonName->size();
        }
    }
    return chunk;
}

// About this many records go to the writing thread at a time, and at most
// queueLength chunks wait: a few megabytes in all.
constexpr RecordId recordsPerChunk = 65536;
constexpr std::size_t queueLength = 3;

} // namespace

// The writing thread and the queue that feeds it.
class DocumentSaveStream::Writing
{
public:
    explicit Writing(const std::filesystem::path &file)
        : replacement_(file), thread_([this] { run(); })
    {}

    ~Writing()
    {
        {
            const std::lock_guard lock(mutex_);
            abandoned_ = true;
        }
        changed_.notify_all();
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    Writing(const Writing &) = delete;
    Writing &operator=(const Writing &) = delete;

    void push(RecordChunk chunk)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return chunks_.size() < queueLength || failure_; });
        if (!failure_) { // a failed writing reports at commit
            chunks_.push_back(std::move(chunk));
            changed_.notify_all();
        }
    }

    // Waits for the last chunk to be written, then replaces the file.
    void commit()
    {
        {
            const std::lock_guard lock(mutex_);
            closed_ = true;
        }
        changed_.notify_all();
        thread_.join();
        if (failure_) {
            std::rethrow_exception(failure_);
        }
        replacement_.commit();
    }

private:
    void run()
    {
        try {
            SqliteDatabase db(replacement_.temporaryPath(), SqliteDatabase::Mode::ReadWrite);
            DocumentWriter writer(db);
            writer.begin();
            while (std::optional<RecordChunk> chunk = pop()) {
                writer.writeCensuses(chunk->censuses);
                writer.writeTaxa([&chunk](auto add) {
                    for (const TaxonView &taxon : chunk->taxa) {
                        add(taxon);
                    }
                });
                replacement_.startWritingToDisk();
            }
            if (!isAbandoned()) {
                writer.finish();
                db.close();
            }
        } catch (...) {
            const std::lock_guard lock(mutex_);
            failure_ = std::current_exception();
            chunks_.clear();
        }
        changed_.notify_all();
    }

    // The next chunk; none once every chunk is written or the stream is abandoned.
    std::optional<RecordChunk> pop()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !chunks_.empty() || closed_ || abandoned_; });
        if (abandoned_ || chunks_.empty()) {
            return std::nullopt;
        }
        RecordChunk chunk = std::move(chunks_.front());
        chunks_.pop_front();
        changed_.notify_all();
        return chunk;
    }

    bool isAbandoned()
    {
        const std::lock_guard lock(mutex_);
        return abandoned_;
    }

    FileReplacement replacement_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<RecordChunk> chunks_;
    bool closed_ = false;    // no chunk will follow
    bool abandoned_ = false; // stop without finishing
    std::exception_ptr failure_;
    std::thread thread_; // last: starts once the rest is made
};

DocumentSaveStream::DocumentSaveStream(const std::filesystem::path &file) : file_(file)
{
    reportingFailures(DocumentFileError::Action::Save, file_, [&] {
        FileReplacement::removeStaleTemporaryFiles(file_);
        writing_ = std::make_unique<Writing>(file_);
    });
}

DocumentSaveStream::~DocumentSaveStream() = default;

void DocumentSaveStream::send(const Store &store)
{
    if (store.nextRecordId() - sentBelow_ >= recordsPerChunk) {
        sendNew(store);
    }
}

void DocumentSaveStream::commit(const Store &store)
{
    sendNew(store);
    if (censusesSent_ != store.censusCount() || taxaSent_ != store.taxonCount()) {
        throw std::logic_error("DocumentSaveStream: the store lost records after they were sent");
    }
    reportingFailures(DocumentFileError::Action::Save, file_, [&] { writing_->commit(); });
}

void DocumentSaveStream::sendNew(const Store &store)
{
    // A chunk covers a range of ids, so a large document loaded before the
    // import also goes in chunks of a few megabytes.
    const RecordId end = store.nextRecordId();
    do {
        const RecordId chunkEnd = std::min(end, sentBelow_ + recordsPerChunk);
        RecordChunk chunk = chunkOf(store, sentBelow_, chunkEnd);
        sentBelow_ = chunkEnd;
        censusesSent_ += chunk.censuses.size();
        taxaSent_ += chunk.taxa.size();
        writing_->push(std::move(chunk));
    } while (sentBelow_ < end);
}

} // namespace quorvella
