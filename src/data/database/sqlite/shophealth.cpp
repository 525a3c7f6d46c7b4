// The verdicts of the start check, shared by every connection of the process.
#include "shophealth.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QMutex>
#include <QWaitCondition>
#include <map>
#include <optional>

namespace shophealth {

namespace {

// A check that never ends (a disk that hangs) must not stop the shop for good.
constexpr int kLongestWaitMs = 120000;

struct Verdicts {
    QMutex mutex;
    QWaitCondition decided;
    std::map<QString, std::optional<QString>> byFile; // nullopt while being checked
};

Verdicts &verdicts() {
    static Verdicts instance;
    return instance;
}

// SQLite names a connection's file by its real path, links resolved: so do the verdicts.
QString key(const QString &path) {
    const QFileInfo file(path);
    const QString real = file.canonicalFilePath();
    return real.isEmpty() ? file.absoluteFilePath() : real;
}

} // namespace

void checking(const QString &databasePath) {
    Verdicts &v = verdicts();
    QMutexLocker lock(&v.mutex);
    v.byFile[key(databasePath)] = std::nullopt;
}

void verdict(const QString &databasePath, const QString &refusal) {
    Verdicts &v = verdicts();
    QMutexLocker lock(&v.mutex);
    v.byFile[key(databasePath)] = refusal;
    v.decided.wakeAll();
}

QString refusal(const QString &databasePath) {
    Verdicts &v = verdicts();
    QMutexLocker lock(&v.mutex);
    if (v.byFile.empty())
        return QString();
    const QString file = key(databasePath);
    QDeadlineTimer deadline(kLongestWaitMs);
    for (;;) {
        const auto it = v.byFile.find(file);
        if (it == v.byFile.end())
            return QString();
        if (it->second)
            return *it->second;
        if (!v.decided.wait(&v.mutex, deadline))
            return QString();
    }
}

void forgetAll() {
    Verdicts &v = verdicts();
    QMutexLocker lock(&v.mutex);
    v.byFile.clear();
    v.decided.wakeAll();
}

} // namespace shophealth
