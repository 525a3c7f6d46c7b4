// Keeping backups by age: the newest of each day, week and month of the periods kept.
#include "backupretention.h"

#include <map>
#include <optional>
#include <set>

namespace backupretention {

namespace {

// The newest backup in each bucket; buckets are named by any comparable key.
template <typename Key, typename KeyOf>
void newestPerBucket(const std::vector<QDateTime> &taken, KeyOf keyOf,
                     std::set<std::size_t> &kept) {
    std::map<Key, std::size_t> newest;
    for (std::size_t i = 0; i < taken.size(); ++i) {
        const auto key = keyOf(taken[i].date());
        if (!key)
            continue;
        auto it = newest.find(*key);
        if (it == newest.end() || taken[it->second] < taken[i])
            newest[*key] = i;
    }
    for (const auto &[key, index] : newest)
        kept.insert(index);
}

} // namespace

std::vector<std::size_t> keep(const std::vector<QDateTime> &taken, const QDate &today) {
    std::set<std::size_t> kept;
    for (std::size_t i = 0; i < taken.size(); ++i)
        if (taken[i].date() > today)
            kept.insert(i);
    // Days: today and the six before it.
    newestPerBucket<qint64>(
        taken,
        [&](const QDate &day) -> std::optional<qint64> {
            const qint64 age = day.daysTo(today);
            return age >= 0 && age < 7 ? std::optional<qint64>(age) : std::nullopt;
        },
        kept);
    // Weeks: this week (from Monday) and the three before it.
    const QDate monday = today.addDays(1 - today.dayOfWeek());
    newestPerBucket<qint64>(
        taken,
        [&](const QDate &day) -> std::optional<qint64> {
            if (day > today)
                return std::nullopt;
            const qint64 weeksBack = day >= monday ? 0 : (day.daysTo(monday) + 6) / 7;
            return weeksBack < 4 ? std::optional<qint64>(weeksBack) : std::nullopt;
        },
        kept);
    // Months: this month and the eleven before it.
    newestPerBucket<int>(
        taken,
        [&](const QDate &day) -> std::optional<int> {
            if (day > today)
                return std::nullopt;
            const int monthsBack = (today.year() - day.year()) * 12 + (today.month() - day.month());
            return monthsBack < 12 ? std::optional<int>(monthsBack) : std::nullopt;
        },
        kept);
    return {kept.begin(), kept.end()};
}

} // namespace backupretention
