// Table of the sales screens: identifier and how to build each.
#include "salesscreens.h"

#include "screenregistry.h"

void registerSalesScreens(ScreenRegistry &registry) { (void)registry; }
