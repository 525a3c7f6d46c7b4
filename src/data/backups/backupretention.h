// Which backups to keep: by age, not by count. Of the backups taken on or before today it
// keeps the newest of today, the newest of each of the last 7 days, of each of the last 4
// weeks (Monday to Sunday) and of each of the last 12 months; everything else goes. A day
// without a backup simply has none: history is never filled with repeats.
#pragma once

#include <QDate>
#include <QDateTime>
#include <set>
#include <vector>

namespace backupretention {

// The indexes into `taken` of the backups to keep. A backup dated after today (a clock set
// back) is kept.
std::set<std::size_t> keep(const std::vector<QDateTime> &taken, const QDate &today);

} // namespace backupretention
