// The eight table-maintenance screens as data for the bound record editor.
#pragma once

#include "recordeditor.h"

#include <vector>

// One definition per screen, in the order of the maintenance menu's tables.
const std::vector<EditorDefinition> &maintenanceScreenTable();
