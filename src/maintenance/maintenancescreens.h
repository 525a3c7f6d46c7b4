// The maintenance screens, added to the main window's table of screens.
#pragma once

class ScreenRegistry;

void registerMaintenanceScreens(ScreenRegistry &registry);
