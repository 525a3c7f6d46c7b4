// The writer's thread and the queue of row batches it takes its work from.
#include "exportwriter.h"

#include "dataerror.h"

ExportWriter::ExportWriter(std::unique_ptr<ExportSink> sink, std::size_t columns)
    : sink_(std::move(sink)), columns_(columns), filling_(columns, rowsPerBatch) {
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

ExportBatch &ExportWriter::batchWithRoom() {
    if (filling_.rows() >= rowsPerBatch)
        handOver();
    return filling_;
}

void ExportWriter::handOver() {
    std::unique_lock lock(mutex_);
    throwIfFailed();
    if (filling_.rows() == 0)
        return;
    changed_.wait(lock, [this] { return queue_.size() < batchesQueued || done_; });
    throwIfFailed();
    queue_.push_back(std::move(filling_));
    if (spare_.empty()) {
        filling_ = ExportBatch(columns_, rowsPerBatch);
    } else {
        filling_ = std::move(spare_.back());
        spare_.pop_back();
        filling_.clear();
    }
    lock.unlock();
    changed_.notify_all();
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
    QString error;
    try {
        for (;;) {
            ExportBatch batch;
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
            sink_->writeRows(batch);
            const std::lock_guard lock(mutex_);
            spare_.push_back(std::move(batch));
        }
        sink_->finish();
    } catch (const DataError &failure) {
        error = failure.description();
    } catch (const std::bad_alloc &) {
        error = QStringLiteral("There was not enough memory to write the file.");
    } catch (const std::exception &failure) {
        error = QStringLiteral("The file could not be written: %1")
                    .arg(QString::fromLocal8Bit(failure.what()));
    }
    {
        const std::lock_guard lock(mutex_);
        error_ = error;
        done_ = true;
    }
    changed_.notify_all();
}
