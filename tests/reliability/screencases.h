// Every registered screen with what the bad-input tests need to know of it: the tables its
// steps may change, and good values that let a bad one in another box be reached.
#pragma once

#include "allscreens.h" // registerAllScreens: the screens every case opens

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

class ScreenRegistry;
struct TestShop;

namespace reliability {

struct ScreenCase {
    QString id;
    QStringList writes; // permanent tables its steps may change for accepted input
    // Box (control name) -> a value the screen accepts, typed before the bad one.
    std::map<QString, QString> good;
};

const std::vector<ScreenCase> &screenCases();

// A small shop with a row or two in every permanent table, much of it Traditional Chinese;
// one transaction.
void seedShop(TestShop &shop);

// Stored values that must read back exactly, Chinese text among them.
const QStringList &seededTexts();

} // namespace reliability
