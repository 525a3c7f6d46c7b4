// The one table of the program's screens: every identifier with the factory that builds it.
// The program, the tests and the benchmarks all open screens through it.
#pragma once

class ScreenRegistry;

void registerAllScreens(ScreenRegistry &registry);
