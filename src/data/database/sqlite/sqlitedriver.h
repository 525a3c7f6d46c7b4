// The driver of a shop kept in one SQLite file on this computer, and its engine.
#pragma once

class Driver;

namespace engines {
const Driver &fileDriver();
} // namespace engines
