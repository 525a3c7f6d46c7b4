// Warnings on a Titles editor's ISBN: a wrong check digit, or the same book already in the
// catalogue under another form of its ISBN. The operator may keep the ISBN as typed (OK) or go
// back to mend it (Cancel); nothing is refused.
#pragma once

#include "shopcontext.h"

#include <QObject>
#include <QString>
#include <utility>

class RecordEditor;

class IsbnWarnings : public QObject {
    Q_OBJECT
public:
    // Watches the editor's ISBN box (and the ISBN column of its grid, if it has one): each ISBN
    // the operator types is checked when the box or the cell is left.
    IsbnWarnings(RecordEditor *editor, int boxIndex, const ShopContext &context);

    // Checks an ISBN typed for the editor's current row; true when there was nothing to say
    // or the operator kept it.
    bool check(const QString &typed);

private:
    void boxLeft();
    void cellEdited();

    RecordEditor *editor_;
    int boxIndex_;
    ShopContext context_;
    int gridColumn_ = -1;                      // the grid's ISBN column
    std::pair<int, QString> lastCell_{-1, {}}; // the cell text asked about last
};
