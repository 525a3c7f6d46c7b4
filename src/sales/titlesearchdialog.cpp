// The "Do you have…?" dialog: the box, the list of titles found, and choosing a line.
#include "titlesearchdialog.h"

#include "catalogsearch.h"
#include "datagrid.h"
#include "errorpolicy.h"
#include "recordsource.h"
#include "screenheading.h"
#include "shoptables.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace T = tables::Titles;

TitleSearchDialog::TitleSearchDialog(std::shared_ptr<ShopSession> session, MessageBoxes &messages,
                                     QWidget *parent)
    : QDialog(parent), messages_(messages),
      titles_(new RecordSource(QStringLiteral("adoFound"), std::move(session), this)) {
    setObjectName(QStringLiteral("dlgDoYouHave"));
    setWindowTitle(QStringLiteral("Do you have…?"));
    words_ = named<QLineEdit>("txtWords", this);
    words_->setPlaceholderText(QStringLiteral("words of the title or author, or an ISBN"));
    words_->setClearButtonEnabled(true);
    auto *caption = named<QLabel>("lblWords", QStringLiteral("&Words or ISBN:"), this);
    caption->setBuddy(words_);

    grid_ = listGrid(titles_,
                     {{T::ISBN, QStringLiteral("ISBN")},
                      {T::Title, QStringLiteral("Title")},
                      {T::Author, QStringLiteral("Author")},
                      {T::SalePrice, QStringLiteral("Price")},
                      {T::Qty, QStringLiteral("Stock")}},
                     QStringLiteral("Titles found"), this);
    grid_->setObjectName(QStringLiteral("grdFound"));
    grid_->view()->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    found_ = named<QLabel>("lblFound", this);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *chooseButton =
        buttons->addButton(QStringLiteral("&Choose"), QDialogButtonBox::AcceptRole);
    chooseButton->setObjectName(QStringLiteral("cmdChoose"));
    chooseButton->setDefault(true); // Enter in the box chooses the current line
    buttons->addButton(QDialogButtonBox::Close)->setObjectName(QStringLiteral("cmdClose"));
    connect(chooseButton, &QPushButton::clicked, this, &TitleSearchDialog::choose);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(grid_->view(), &QAbstractItemView::doubleClicked, this, &TitleSearchDialog::choose);

    auto *box = new QHBoxLayout;
    box->addWidget(caption);
    box->addWidget(words_, 1);
    auto *page = new QVBoxLayout(this);
    page->addLayout(box);
    page->addWidget(grid_, 1);
    page->addWidget(found_);
    page->addWidget(buttons);
    resize(760, 420);

    pause_.setSingleShot(true);
    pause_.setInterval(typingPauseMs);
    connect(&pause_, &QTimer::timeout, this, &TitleSearchDialog::search);
    connect(words_, &QLineEdit::textChanged, &pause_, qOverload<>(&QTimer::start));
    words_->installEventFilter(this);
    words_->setFocus();
    showCount();
}

void TitleSearchDialog::search() {
    pause_.stop();
    policy::reportOnError(messages_, [this] { catalogsearch::open(*titles_, words_->text()); });
    showCount();
}

void TitleSearchDialog::showCount() {
    const int lines = titles_->isOpen() ? titles_->recordCount() : 0;
    if (words_->text().trimmed().isEmpty())
        found_->setText(QStringLiteral("Type words of the title or the author, or an ISBN."));
    else if (lines == 0)
        found_->setText(QStringLiteral("No title in the catalogue has \"%1\".")
                            .arg(words_->text().simplified()));
    else if (lines >= catalogsearch::listLimit)
        found_->setText(QStringLiteral("The first %1 titles found: type another word to narrow "
                                       "the list.")
                            .arg(lines));
    else
        found_->setText(lines == 1 ? QStringLiteral("1 title found.")
                                   : QStringLiteral("%1 titles found.").arg(lines));
}

void TitleSearchDialog::choose() {
    if (pause_.isActive())
        search(); // Enter came before the pause: the list of what is typed, not the last one
    if (!titles_->hasCurrentRow())
        return;
    chosenIsbn_ = titles_->text(T::ISBN);
    accept();
}

// The list is worked from the box: Up, Down, Page Up and Page Down move its current line
// while the typing goes on.
bool TitleSearchDialog::eventFilter(QObject *watched, QEvent *event) {
    if (watched == words_ && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QApplication::sendEvent(grid_->view(), event);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
