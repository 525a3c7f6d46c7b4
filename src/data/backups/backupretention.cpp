// Keeping backups by age: the newest of each day, week and month of the periods kept.
#include "backupretention.h"

#include <functional>
#include <map>

namespace backupretention {

std::set<std::size_t> keep(const std::vector<QDateTime> &taken, const QDate &today) {
    const QDate monday = today.addDays(1 - today.dayOfWeek());
    // Each period, in how many of it the backups are kept and how far back a day lies in it.
    const struct {
        qint64 count;
        std::function<qint64(const QDate &)> back;
    } periods[] = {
        // Days: today and the six before it.
        {7, [&](const QDate &day) { return day.daysTo(today); }},
        // Weeks: this week (from Monday) and the three before it.
        {4, [&](const QDate &day) { return day >= monday ? 0 : (day.daysTo(monday) + 6) / 7; }},
        // Months: this month and the eleven before it.
        {12,
         [&](const QDate &day) {
             return qint64{(today.year() - day.year()) * 12 + (today.month() - day.month())};
         }},
    };
    std::set<std::size_t> kept;
    for (std::size_t i = 0; i < taken.size(); ++i)
        if (taken[i].date() > today)
            kept.insert(i);
    for (const auto &[count, back] : periods) {
        // The newest backup of each day, week or month back.
        std::map<qint64, std::size_t> newest;
        for (std::size_t i = 0; i < taken.size(); ++i) {
            const QDate day = taken[i].date();
            if (day > today || back(day) >= count)
                continue;
            const auto [it, first] = newest.try_emplace(back(day), i);
            if (!first && taken[it->second] < taken[i])
                it->second = i;
        }
        for (const auto &[age, index] : newest)
            kept.insert(index);
    }
    return kept;
}

} // namespace backupretention
