// Builds the About box: icon at the top left, three labels, a rule and the OK button.
#include "aboutdialog.h"

#include "screenheading.h"
#include "shellpictures.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// The three lines of text, top to bottom.
const std::pair<const char *, const char *> kTexts[] = {
    {"lblTitle", "Quillmart   V1.0"},
    {"lblDescription", "For Windows 98"},
    {"Label1", "Copyright © 2026 Quillmart. All rights reserved."}};
} // namespace

AboutDialog::AboutDialog(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Quillmart"));

    auto *icon = named<QLabel>("picIcon", this);
    icon->setPixmap(shellpictures::programIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    icon->setAccessibleName(QStringLiteral("Quillmart"));

    auto *texts = new QVBoxLayout;
    texts->setSpacing(10);
    for (const auto &[name, text] : kTexts) {
        auto *label = named<QLabel>(name, QString::fromUtf8(text), this);
        label->setFont(arialFont(12));
        texts->addWidget(label);
    }
    texts->addStretch();

    auto *top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);

    auto *rule = named<QFrame>("Line1", this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    // Default and cancel button at once: Enter and Esc both press it.
    auto *ok = stepButton("cmdOK", QStringLiteral("OK"), this, &QDialog::accept);
    ok->setDefault(true);
    ok->setAutoDefault(true);
    ok->setMinimumWidth(90);

    QHBoxLayout *buttons = buttonRow({rowStretch, ok});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addWidget(rule);
    layout->addLayout(buttons);
    // Fixed size; QDialog centres itself over its owner when shown.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
