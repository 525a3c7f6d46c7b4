// Table of the maintenance screens: identifier and how to build each.
#include "maintenancescreens.h"

#include "screenregistry.h"

void registerMaintenanceScreens(ScreenRegistry &registry) { (void)registry; }
