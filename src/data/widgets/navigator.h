// The record source's navigator: first, previous, next and last buttons around the caption
// "Record: N". Moving before the first row keeps the first row current; past the last row
// keeps the last row. A failed save on a move is reported through the source's dataError.
#pragma once

#include <QWidget>

class QLabel;
class RecordSource;

class Navigator : public QWidget {
    Q_OBJECT
public:
    explicit Navigator(RecordSource *source, QWidget *parent = nullptr);

    QString caption() const;
    void first();
    void previous();
    void next();
    void last();

private:
    void updateCaption();
    template <typename Move> void guarded(Move move);

    RecordSource *source_;
    QLabel *caption_;
};
