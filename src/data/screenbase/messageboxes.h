// Every message the program shows goes through this interface: the real one uses
// QMessageBox, the tests' one records the texts and answers with a scripted button.
#pragma once

#include <QString>

class QWidget;

class MessageBoxes {
public:
    enum class Icon { None, Information, Warning, Critical };
    virtual ~MessageBoxes() = default;
    // A box with an OK button. The title is "Quillmart" unless one is given. `details` (what
    // a database server said, say) is kept apart from the operator's sentence, shown on asking.
    virtual void inform(const QString &text, Icon icon = Icon::None,
                        const QString &title = QString(), const QString &details = QString()) = 0;
    // A box with OK and Cancel; true for OK (closing the box counts as Cancel).
    virtual bool confirm(const QString &text, const QString &title = QString(),
                         const QString &details = QString()) = 0;
};

// Shows real modal message boxes over the given parent window.
class WidgetMessageBoxes : public MessageBoxes {
public:
    explicit WidgetMessageBoxes(QWidget *parent = nullptr) : parent_(parent) {}
    void setParent(QWidget *parent) { parent_ = parent; }
    void inform(const QString &text, Icon icon = Icon::None, const QString &title = QString(),
                const QString &details = QString()) override;
    bool confirm(const QString &text, const QString &title = QString(),
                 const QString &details = QString()) override;

private:
    QWidget *parent_;
};

inline const char *applicationTitle() {
    return "Quillmart";
}
