// The accounting screens, added to the main window's table of screens.
#pragma once

class ScreenRegistry;

void registerAccountingScreens(ScreenRegistry &registry);
