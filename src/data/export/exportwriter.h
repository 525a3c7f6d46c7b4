// Writes an export's rows on a thread of its own, so that reading the list and writing the file
// use two cores at once: the rows are handed over in batches through a short queue, and the
// file is finished on that thread too, while the progress dialog stays drawn.
#pragma once

#include "exportsink.h"

#include <QString>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class ExportWriter {
public:
    // Takes the sink with its captions written; from now on only the writer's thread uses it.
    ExportWriter(std::unique_ptr<ExportSink> sink, std::size_t columns);
    // Stops the thread (after the call it is in, which may be finishing the file) and frees the
    // sink; an unfinished file stays unfinished.
    ~ExportWriter();
    ExportWriter(const ExportWriter &) = delete;
    ExportWriter &operator=(const ExportWriter &) = delete;

    // The batch to add the next row to. A full batch goes to the writer first, waiting while
    // the queue is full. Throws DataError when writing has failed.
    ExportBatch &batchWithRoom();
    // Hands over the rows added so far, also a part batch.
    void handOver();
    // No more rows: the writer writes the rest and finishes the file.
    void finish();
    // Whether the file is finished, waiting up to `wait` for it. Throws DataError when
    // writing or finishing failed.
    bool finished(std::chrono::milliseconds wait);

    static constexpr std::size_t rowsPerBatch = 4096;
    static constexpr std::size_t batchesQueued = 4;

private:
    void run();
    void throwIfFailed() const;

    std::unique_ptr<ExportSink> sink_;
    const std::size_t columns_;
    ExportBatch filling_; // rows added, not yet handed over

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<ExportBatch> queue_;
    std::vector<ExportBatch> spare_; // written batches, their room used again
    bool ending_ = false;            // every row is handed over
    bool stopping_ = false;          // the export is given up
    bool done_ = false;              // the file is finished, or writing failed
    QString error_;                  // why writing failed
    std::thread thread_;
};
