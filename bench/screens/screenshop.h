// The real screens on the large shop, for the benchmarks: a context with a clock standing at
// the shop's last day of sales, message boxes that answer OK and keep what they showed, and an
// opener building screens from the program's table of screens.
#pragma once

#include "clock.h"
#include "messageboxes.h"
#include "screenopener.h"
#include "screenregistry.h"
#include "shopcontext.h"

#include <QDate>
#include <QStringList>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <functional>
#include <map>
#include <stdexcept>

class RecordSource;

namespace screenbench {

// Every screen id of the program, in menu order.
const QStringList &screenIds();
bool registered(const QString &id);

// Builds a screen through the table of screens, shown at a fixed size and painted once.
// Throws when it cannot be built or says why in a message box.
QWidget *open(const QString &id);
// Builds and shows the screen without painting (for timing the first paint apart).
QWidget *build(const QString &id);
// Builds the screen only, for a window of the caller's.
QWidget *create(const QString &id);
void paint(QWidget *screen);
// Closes the screen (its unload runs) and frees it.
void close(QWidget *screen);

// Named controls of a screen; throw when there is none.
QWidget *child(QWidget *screen, const QString &name);
void click(QWidget *screen, const QString &button);
// A day chosen in a picker as the operator does it (an operator change).
void pickDay(QWidget *screen, const QString &picker, const QDate &day);
void typeText(QWidget *screen, const QString &box, const QString &text);
// Every record source of the screen.
QList<RecordSource *> sources(QWidget *screen);

// The texts of the message boxes shown so far; throws with the first one shown since
// `mark` (a screen reporting a failure).
int messageCount();
void failOnMessageSince(int mark);

// A screen opened for a benchmark and closed when the benchmark's scope ends; declared
// before bench::Measured, it is closed after the measuring stops.
class ScreenUnderTest {
public:
    explicit ScreenUnderTest(const QString &id) : screen_(open(id)), mark_(messageCount()) {}
    ~ScreenUnderTest() { close(screen_); }
    ScreenUnderTest(const ScreenUnderTest &) = delete;
    ScreenUnderTest &operator=(const ScreenUnderTest &) = delete;
    operator QWidget *() const { return screen_; }
    // Throws with the first message the screen showed since it opened.
    void checkMessages() const { failOnMessageSince(mark_); }

private:
    QWidget *screen_;
    int mark_;
};

// Runs a benchmark body; a failure (a thrown exception) ends the benchmark with its text.
void guarded(benchmark::State &state, const std::function<void()> &body);

} // namespace screenbench
