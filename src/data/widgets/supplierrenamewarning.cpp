// Warns when a supplier that orders or held bills name is renamed.
#include "supplierrenamewarning.h"

#include "boundlineedit.h"
#include "errorpolicy.h"
#include "messageboxes.h"
#include "purchaseorders.h"
#include "recordeditor.h"
#include "recordsource.h"
#include "shopsession.h"

SupplierRenameWarning::SupplierRenameWarning(RecordEditor *editor, int boxIndex,
                                             const ShopContext &context)
    : QObject(editor), editor_(editor), boxIndex_(boxIndex), context_(context) {
    setObjectName(QStringLiteral("supplierRenameWarning"));
    if (BoundLineEdit *box = editor_->box(boxIndex_))
        connect(box, &QLineEdit::editingFinished, this, &SupplierRenameWarning::boxLeft);
}

QString SupplierRenameWarning::warning(const QString &stored, const QString &typed) {
    if (stored.trimmed().isEmpty() || stored == typed)
        return {};
    const shop::SupplierUse use =
        shop::supplierUse(editor_->source()->session()->connection(), stored);
    if (use.openOrders == 0 && use.heldBills == 0)
        return {};
    return QStringLiteral("%1 has %2 open purchase order(s) and %3 bill(s) held for approval, "
                          "which name it \"%1\". Renamed \"%4\", it will not be found under "
                          "them: keep the old name, or finish them first.")
        .arg(stored)
        .arg(use.openOrders)
        .arg(use.heldBills)
        .arg(typed);
}

// Asked when the box is left with a name the operator typed, against the name stored now.
void SupplierRenameWarning::boxLeft() {
    BoundLineEdit *box = editor_->box(boxIndex_);
    if (!box->isModified())
        return;
    box->setModified(false);
    RecordSource *source = editor_->source();
    if (source->isEof() || source->isBof() || source->isPendingNew())
        return;
    policy::skipOnError([&] {
        const qint64 rowid = source->rowid(source->currentRow());
        const QString stored =
            source->session()
                ->connection()
                .scalar(QStringLiteral("SELECT [RetName] FROM [retail] WHERE rowid = ?1"), {rowid})
                .toString();
        const QString said = warning(stored, box->text());
        if (!said.isEmpty())
            context_.messages->inform(said, MessageBoxes::Icon::Warning);
    });
}
