// Table of the accounting screens: identifier and how to build each.
#include "accountingscreens.h"

#include "screenregistry.h"

void registerAccountingScreens(ScreenRegistry &registry) { (void)registry; }
