// Today's date and the time of day, behind an interface so that tests can fix them.
#pragma once

#include <QDateTime>

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
    virtual QTime timeOfDay() const = 0;
    // The moment the shop's work is stamped with: today at the time of day.
    QDateTime now() const { return QDateTime(today(), timeOfDay()); }
};

class SystemClock : public Clock {
public:
    QDate today() const override { return QDate::currentDate(); }
    QTime timeOfDay() const override {
        const QTime t = QTime::currentTime();
        return QTime(t.hour(), t.minute(), t.second());
    }
};

// A clock that stands still until a test moves it.
class FixedClock : public Clock {
public:
    FixedClock(QDate day, QTime time) : day_(day), time_(time) {}
    QDate today() const override { return day_; }
    QTime timeOfDay() const override { return time_; }
    void set(QDate day, QTime time) {
        day_ = day;
        time_ = time;
    }

private:
    QDate day_;
    QTime time_;
};
