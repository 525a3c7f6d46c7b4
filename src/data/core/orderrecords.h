// A title a customer ordered that the catalogue does not hold yet, as the order adds it.
#pragma once

#include "money.h"

#include <QString>

struct OrderedTitle {
    QString isbn;
    QString title;
    QString author;
    QString publisher;
    QString supplier;
    Money price;
};
