// The writer's thread and the queue of row batches it takes its work from.
#include "exportwriter.h"

#include "dataerror.h"
#include "exportsink.h"

#include <span>

ExportWriter::ExportWriter(std::unique_ptr<ExportSink> sink, std::size_t columns)
    : sink_(std::move(sink)), columns_(columns) {
    filling_.cells.reserve(rowsPerBatch * columns_);
    thread_ = std::thread([this] { run(); });
}

ExportWriter::~ExportWriter() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
    sink_.reset();
}

void ExportWriter::throwIfFailed() const {
    if (!error_.isEmpty())
        throw DataError(error_);
}

QVariant *ExportWriter::addRow() {
    if (filling_.rows == rowsPerBatch)
        handOver();
    ++filling_.rows;
    filling_.cells.resize(filling_.cells.size() + columns_); // within the room reserved
    return filling_.cells.data() + filling_.cells.size() - columns_;
}

void ExportWriter::handOver() {
    std::unique_lock lock(mutex_);
    throwIfFailed();
    if (filling_.rows == 0)
        return;
    changed_.wait(lock, [this] { return queue_.size() < batchesQueued || done_; });
    throwIfFailed();
    queue_.push_back(std::move(filling_));
    filling_ = {};
    if (!spare_.empty()) {
        filling_ = std::move(spare_.back());
        spare_.pop_back();
    }
    lock.unlock();
    changed_.notify_all();
    filling_.cells.clear(); // the texts are let go here, on the thread that made them
    filling_.rows = 0;
    filling_.cells.reserve(rowsPerBatch * columns_);
}

void ExportWriter::finish() {
    handOver();
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
}

bool ExportWriter::finished(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, wait, [this] { return done_; });
    throwIfFailed();
    return done_;
}

void ExportWriter::run() {
    try {
        for (;;) {
            Batch batch;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [this] { return stopping_ || ending_ || !queue_.empty(); });
                if (stopping_)
                    return;
                if (queue_.empty())
                    break; // ending, with every batch written
                batch = std::move(queue_.front());
                queue_.pop_front();
            }
            changed_.notify_all(); // room in the queue
            const std::span<const QVariant> cells(batch.cells);
            for (std::size_t row = 0; row < batch.rows; ++row)
                sink_->writeRow(cells.subspan(row * columns_, columns_));
            const std::lock_guard lock(mutex_);
            spare_.push_back(std::move(batch));
        }
        sink_->finish();
    } catch (const DataError &error) {
        const std::lock_guard lock(mutex_);
        error_ = error.description();
    } catch (const std::bad_alloc &) {
        const std::lock_guard lock(mutex_);
        error_ = QStringLiteral("There was not enough memory to write the file.");
    }
    {
        const std::lock_guard lock(mutex_);
        done_ = true;
    }
    changed_.notify_all();
}
