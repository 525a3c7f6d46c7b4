// Table of the maintenance screens: identifier and how to build each.
#include "maintenancescreens.h"

#include "isbnwarnings.h"
#include "maintenancetable.h"
#include "recordeditor.h"
#include "screenregistry.h"

void registerMaintenanceScreens(ScreenRegistry &registry) {
    for (const EditorDefinition &definition : maintenanceScreenTable())
        registry.add(definition.screenId, [definition](const ShopContext &context) {
            auto *editor = new RecordEditor(definition, context);
            if (definition.screenId == QLatin1String("dataTitles"))
                new IsbnWarnings(editor, 1, context); // the ISBN box
            return editor;
        });
}
