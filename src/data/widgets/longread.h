// A progress window for a record source's long reads (moving to the last of millions of
// rows, counting them, finding one): shown when a read has taken more than a moment, it
// counts the rows read and has a Cancel button that stops the read, instead of a window that
// freezes until the read is done.
#pragma once

class QWidget;
class RecordSource;

namespace longread {

// The window opens over `owner`'s window; the read progress stays with the source until the
// owner is gone.
void showProgress(RecordSource *source, QWidget *owner);

} // namespace longread
