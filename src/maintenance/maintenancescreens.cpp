// Table of the maintenance screens: identifier and how to build each.
#include "maintenancescreens.h"

#include "maintenancetable.h"
#include "recordeditor.h"
#include "screenregistry.h"

void registerMaintenanceScreens(ScreenRegistry &registry) {
    for (const EditorDefinition &definition : maintenanceScreenTable())
        registry.add(definition.screenId, [definition](const ShopContext &context) {
            return new RecordEditor(definition, context);
        });
}
