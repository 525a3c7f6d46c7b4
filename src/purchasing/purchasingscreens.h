// The purchasing screens, added to the main window's table of screens.
#pragma once

class ScreenRegistry;

void registerPurchasingScreens(ScreenRegistry &registry);
