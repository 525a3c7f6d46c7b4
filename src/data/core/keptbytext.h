// What a connection keeps of the statements it runs again and again, by their text: at most a
// fixed number of them, the one used longest ago dropped first. The values a statement takes
// are bound, never written into its text, so a till's few texts stay kept; a text with a value
// written into it can only push older ones out, never make the store grow.
#pragma once

#include <QHash>
#include <QString>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

template <typename T> class KeptByText {
public:
    explicit KeptByText(std::size_t capacity) : capacity_(capacity) {}

    // The value kept under the text, which is now the one used last; null when none is.
    T *find(const QString &text) {
        const auto kept = kept_.find(text);
        if (kept == kept_.end())
            return nullptr;
        kept->used = ++clock_;
        return &kept->value;
    }

    // Keeps the value under the text. Returns the value it put out: the one kept before under
    // the same text, or, when the store is full, the one used longest ago.
    std::optional<T> keep(const QString &text, T value) {
        std::optional<T> out;
        auto kept = kept_.find(text);
        if (kept != kept_.end()) {
            out = std::exchange(kept->value, std::move(value));
            kept->used = ++clock_;
            return out;
        }
        if (static_cast<std::size_t>(kept_.size()) >= capacity_ && !kept_.isEmpty()) {
            auto oldest = kept_.begin();
            for (auto it = kept_.begin(); it != kept_.end(); ++it)
                if (it->used < oldest->used)
                    oldest = it;
            out = std::move(oldest->value);
            kept_.erase(oldest);
        }
        kept_.insert(text, Entry{std::move(value), ++clock_});
        return out;
    }

    // Takes the value out of the store; none when nothing is kept under the text.
    std::optional<T> take(const QString &text) {
        const auto kept = kept_.find(text);
        if (kept == kept_.end())
            return std::nullopt;
        std::optional<T> out = std::move(kept->value);
        kept_.erase(kept);
        return out;
    }

    // Every value, the store left empty.
    std::vector<T> takeAll() {
        std::vector<T> all;
        for (auto &entry : kept_)
            all.push_back(std::move(entry.value));
        kept_.clear();
        return all;
    }

    std::size_t size() const { return static_cast<std::size_t>(kept_.size()); }
    std::size_t capacity() const { return capacity_; }

private:
    struct Entry {
        T value;
        quint64 used = 0; // when it was last kept or found, on the store's own clock
    };
    std::size_t capacity_;
    quint64 clock_ = 0;
    QHash<QString, Entry> kept_;
};
