// Reading an amount from its box; Enter as a box's step.
#include "counterbox.h"

#include "messageboxes.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>

namespace counterbox {

namespace {

std::optional<QString> refusal(const QString &typed, const QString &what, Least least) {
    if (typed.trimmed().isEmpty())
        return QStringLiteral("%1 is not typed yet. Type the amount in figures%2.")
            .arg(what, least == Least::Zero ? QStringLiteral(", 0 when there is none") : QString());
    const std::optional<Money> amount = Money::parse(typed.trimmed());
    if (!amount)
        return QStringLiteral("%1 \"%2\" is not an amount of money. Type it in figures, such as "
                              "150 or 87.50.")
            .arg(what, typed);
    if (*amount < Money())
        return QStringLiteral("%1 cannot be below 0 (%2 was typed).").arg(what, typed);
    if (least == Least::MoreThanZero && *amount == Money())
        return QStringLiteral("%1 must be more than 0.").arg(what);
    return std::nullopt;
}

class EnterFilter : public QObject {
public:
    EnterFilter(QLineEdit *box, std::function<void()> step) : QObject(box), step_(std::move(step)) {
        box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        step_();
        return true;
    }

private:
    std::function<void()> step_;
};

} // namespace

std::optional<Money> read(QLineEdit *box, MessageBoxes &messages, const QString &what,
                          Least least) {
    if (const std::optional<QString> why = refusal(box->text(), what, least)) {
        messages.inform(*why);
        focusSelected(box);
        return std::nullopt;
    }
    return Money::parse(box->text().trimmed());
}

void onEnter(QLineEdit *box, std::function<void()> step) {
    new EnterFilter(box, std::move(step));
}

void focusSelected(QLineEdit *box) {
    box->setFocus();
    box->selectAll();
}

void onKey(QWidget *window, QKeySequence key, QObject *receiver, std::function<void()> step) {
    auto *shortcut = new QShortcut(key, window);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(shortcut, &QShortcut::activated, receiver, std::move(step));
}

void enlarge(QWidget *widget, int points, bool bold) {
    QFont font = widget->font();
    font.setPointSize(points);
    font.setBold(bold);
    widget->setFont(font);
}

void colour(QWidget *widget, QPalette::ColorRole role, const QColor &colour) {
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
    if (role == QPalette::Window)
        widget->setAutoFillBackground(true);
}

} // namespace counterbox
