// The sales screens, added to the main window's table of screens.
#pragma once

class ScreenRegistry;

void registerSalesScreens(ScreenRegistry &registry);
