// The driver of a shop on a PostgreSQL server.
#pragma once

class Driver;

namespace engines {
const Driver &serverDriver();
} // namespace engines
