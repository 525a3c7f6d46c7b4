// The driver of a shop kept in one SQLite file on this computer.
#pragma once

class Driver;

namespace engines {
const Driver &fileDriver();
} // namespace engines
