// The supplier editor's warning: orders and bills name their supplier by its text, so renaming
// a supplier with open purchase orders or bills held for approval leaves them under the old
// name. The operator is told when the name box is left with a new name; the rename itself is
// the operator's to keep or undo.
#pragma once

#include "shopcontext.h"

#include <QObject>

class RecordEditor;

class SupplierRenameWarning : public QObject {
    Q_OBJECT
public:
    // Watches the editor's box of the supplier's name.
    SupplierRenameWarning(RecordEditor *editor, int boxIndex, const ShopContext &context);

    // The warning for renaming `stored` to `typed`; empty when there is nothing to say.
    QString warning(const QString &stored, const QString &typed);

private:
    void boxLeft();

    RecordEditor *editor_;
    int boxIndex_;
    ShopContext context_;
};
