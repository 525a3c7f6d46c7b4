// Book query: browse the catalogue in four orders; nothing is written.
#include "bookqueryscreen.h"

#include "boundlineedit.h"
#include "datagrid.h"
#include "errorpolicy.h"
#include "recordsource.h"
#include "screenheading.h"
#include "screenids.h"
#include "shoptables.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

using namespace tables;

struct Detail {
    Column field;
    const char *caption;
};
const Detail details[] = {{Titles::ISBN, "ISBN:"},
                          {Titles::Title, "Title:"},
                          {Titles::Author, "Author:"},
                          {Titles::Publisher, "Publisher:"},
                          {Titles::YearPublished, "Year Published:"},
                          {Titles::FixedPrice, "Fixed Price:"},
                          {Titles::SalePrice, "Sale price:"}};

const char *const buttonCaptions[] = {"order by ISBN", "order by Title", "order by Author",
                                      "order by publisher", "Close"};

} // namespace

// Opens at a size that shows every column of the grid.
BookQueryScreen::BookQueryScreen(const ShopContext &context, QWidget *parent)
    : ShopScreen(context, screenid::BookQuery, QStringLiteral("BookQuery"), QSize(860, 600),
                 parent),
      titles_(new RecordSource(QStringLiteral("Adodc1"), context.shop, this)) {
    titles_->open(selectAll(Titles::table));
    buildControls();
}

void BookQueryScreen::buildControls() {
    QLabel *heading = screenHeading(QStringLiteral("Label1"), QStringLiteral("Book Query System"),
                                    this, 1.4, false);

    // The frame drawn around the detail boxes.
    auto *frame = named<QFrame>("Shape1", this);
    frame->setFrameShape(QFrame::Box);
    auto *boxes = new QGridLayout(frame);
    // The boxes take no input, but their details must read as clearly as any text: the
    // disabled look keeps only its background.
    QPalette readable = palette();
    readable.setColor(QPalette::Disabled, QPalette::Text,
                      readable.color(QPalette::Active, QPalette::Text));
    readable.setColor(QPalette::Disabled, QPalette::Base,
                      readable.color(QPalette::Active, QPalette::Window));
    for (int i = 0; i < 7; ++i) {
        auto *label = new QLabel(QString::fromLatin1(details[i].caption), frame);
        label->setObjectName(QStringLiteral("lblLabels_%1").arg(i));
        auto *box = new BoundLineEdit(titles_, details[i].field, frame);
        box->setObjectName(QStringLiteral("txtFields_%1").arg(i));
        box->setAccessibleName(label->text());
        box->setEnabled(false); // shown, never edited
        box->setPalette(readable);
        box->setMinimumWidth(260);
        label->setBuddy(box);
        boxes->addWidget(label, i, 0);
        boxes->addWidget(box, i, 1);
    }

    auto *buttons = new QVBoxLayout;
    for (int i = 0; i < 5; ++i) {
        auto *button = new QPushButton(QString::fromLatin1(buttonCaptions[i]), this);
        button->setObjectName(QStringLiteral("Command1_%1").arg(i));
        connect(button, &QPushButton::clicked, this, [this, i] { command(i); });
        buttons->addWidget(button);
    }
    buttons->addStretch();

    const Column shown[] = {Titles::ISBN,    Titles::Title,     Titles::Author,
                            Titles::Subject, Titles::Publisher, Titles::YearPublished};
    auto *grid = new DataGrid(titles_, gridColumns(shown), this);
    grid->setReadOnly(true);
    grid->view()->horizontalHeader()->setStretchLastSection(true);

    auto *top = new QHBoxLayout;
    top->addWidget(frame, 1);
    top->addSpacing(12);
    top->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(top);
    layout->addWidget(grid, 1);
}

void BookQueryScreen::command(int index) {
    const Column orders[] = {Titles::ISBN, Titles::Title, Titles::Author, Titles::Publisher};
    if (index == 4)
        closeScreen();
    if (index < 0 || index >= 4)
        return;
    policy::skipOnError([&] { titles_->open(selectAll(Titles::table, orderBy(orders[index]))); });
    // The re-query already makes the first title current; the first three buttons move there
    // once more.
    if (index < 3)
        policy::skipOnError([&] { titles_->moveFirst(); });
}
