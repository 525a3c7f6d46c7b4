// The undated part of the demo catalogue: subjects, publishers, suppliers and titles.
#pragma once

#include "democatalogue.h"

DemoTable demoSubjects();
DemoTable demoPublishers();
DemoTable demoSuppliers();
// Columns ISBN, Title, Author, Subject, Publisher, [Year Published], [Fixed Price],
// [Sale Price], PurchasePrice, Qty, SafeQty, Retail (BOOKNO is left to the database).
DemoTable demoTitles();
