// The bound record editor: the rows of one table through a navigator, bound text boxes, a grid
// and the AddNew/Update/Delete/Refresh/Close bar. A screen built on it is an EditorDefinition,
// plus, on the two purchasing screens, a few controls of their own.
#pragma once

#include "shopscreen.h"
#include "tabledescription.h"

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

class BoundLineEdit;
class DataGrid;
class Navigator;
class QGridLayout;
class QVBoxLayout;
class RecordSource;

struct EditorBox {
    QString label; // caption as it stands on the screen ("Invoice NO")
    int index = 0; // txtFields / lblLabels index
    QString field;
    bool disabled = false;
    QString autoLabel = {}; // "(Auto)" or "( Auto )" beside the box; empty for none
};

// A box for each of these columns, top to bottom, captioned with its name ("Qty:") and
// numbered by its place in the table; an auto-number is shown, never typed.
inline std::vector<EditorBox> boxesFor(std::span<const Column> columns) {
    std::vector<EditorBox> boxes;
    for (const Column &column : columns) {
        const bool automatic = column.kind == ColumnKind::AutoNumber;
        boxes.push_back({QString(column) + QLatin1Char(':'), column.position, column, automatic,
                         automatic ? QStringLiteral("(Auto)") : QString()});
    }
    return boxes;
}

struct EditorDefinition {
    QString screenId; // "dataTitles"
    QString caption;  // window title
    QString heading;  // Label2
    QString recordSource;
    std::vector<EditorBox> leftBoxes; // top to bottom
    std::vector<EditorBox> rightBoxes;
    QStringList gridColumns = {}; // captioned with the field name; none: no grid
    // AddNew shows this screen's shared window and closes the editor; empty: adds a row.
    QString addOpensShared = {};
};

class RecordEditor : public ShopScreen {
    Q_OBJECT
public:
    // Opens datPrimaryRS on the definition's text; throws DataError when it cannot.
    RecordEditor(EditorDefinition definition, const ShopContext &context,
                 QWidget *parent = nullptr);

    RecordSource *source() const { return source_; }
    Navigator *navigator() const { return navigator_; }
    DataGrid *grid() const { return grid_; } // nullptr on a screen without a grid
    BoundLineEdit *box(int index) const;     // nullptr when there is no such box

    // The button bar.
    void addNew();
    void update();
    void deleteRow();
    void refresh();
    // A failure met by the record set outside the handlers (a save on a move).
    void showDataError(const QString &description);

protected:
    // Puts a screen's own control after the box with this index, on the box's line.
    void placeBeside(int index, QWidget *widget);
    // Room between the boxes and the grid for a screen's own controls.
    QVBoxLayout *extraArea() const { return extraArea_; }
    void closeEvent(QCloseEvent *event) override;

private:
    void buildBoxes(const std::vector<EditorBox> &boxes, int firstColumn);
    QWidget *buildButtonBar();
    bool settlePendingRow();

    EditorDefinition definition_;
    RecordSource *source_;
    Navigator *navigator_ = nullptr;
    DataGrid *grid_ = nullptr;
    QVBoxLayout *extraArea_ = nullptr;
    QGridLayout *boxGrid_ = nullptr;
    std::map<int, BoundLineEdit *> boxes_;
    std::map<int, std::pair<int, int>> besideCell_; // box index -> grid row and column after it
};
