// A box that shows a value (a looked-up title, a price, a total) is heard by a screen reader
// as that value; its caption is its label and its description, never its name.
#pragma once

#include <QLabel>

inline void captionValueBox(QLabel *caption, QLabel *box) {
    caption->setBuddy(box);
    box->setAccessibleName(QString()); // the shown text is the name
    box->setAccessibleDescription(caption->text().remove(QLatin1Char('&')).trimmed());
}
