// "Do you have…?": at the counter, the catalogue searched by words of the title or the author,
// or by ISBN, the list following what is typed. Up and Down move through the list, Enter
// chooses a line (its ISBN goes to the selling screen), Esc closes.
#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>

class DataGrid;
class MessageBoxes;
class QLabel;
class QLineEdit;
class RecordSource;
class ShopSession;

class TitleSearchDialog : public QDialog {
    Q_OBJECT
public:
    TitleSearchDialog(std::shared_ptr<ShopSession> session, MessageBoxes &messages,
                      QWidget *parent = nullptr);

    // Lists the titles that match the box's text now; a pause in the typing does it otherwise.
    void search();
    // Takes the list's current line, if any, and closes.
    void choose();
    // The ISBN of the line chosen; empty until one is.
    QString chosenIsbn() const { return chosenIsbn_; }

    // Pause after a key before the list follows: typing on never waits for a list that the
    // next key makes stale.
    static constexpr int typingPauseMs = 150;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showCount();

    MessageBoxes &messages_;
    RecordSource *titles_;
    QLineEdit *words_;
    DataGrid *grid_;
    QLabel *found_;
    QTimer pause_;
    QString chosenIsbn_;
};
