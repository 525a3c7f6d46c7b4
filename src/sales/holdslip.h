// The hold slip: a strip on the receipt printer that goes with the copies set aside for a
// customer's order, so that they are not sold to someone else (customer, phone, title, the day
// they were set aside, the order's number).
#pragma once

#include "customerorders.h"

#include <QDate>
#include <QString>

class QPrinter;

namespace holdslip {

// Prints the slip; returns the number of pages (0: the printer could not be painted on).
int print(const CustomerOrder &order, const QDate &setAside, const QString &shopName,
          QPrinter &printer);

} // namespace holdslip
