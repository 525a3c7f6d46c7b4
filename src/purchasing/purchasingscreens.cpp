// Table of the purchasing screens: identifier and how to build each.
#include "purchasingscreens.h"

#include "screenregistry.h"

void registerPurchasingScreens(ScreenRegistry &registry) { (void)registry; }
