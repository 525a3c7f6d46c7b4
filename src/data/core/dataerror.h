// The one exception type of the data layer: every database or conversion failure becomes a
// DataError whose what() is a description fit to show the operator.
#pragma once

#include <QString>
#include <stdexcept>

class DataError : public std::runtime_error {
public:
    // What went wrong, as far as the code that catches it may act on it; the sentence says it
    // to the operator. Each engine's driver maps its own failures onto these.
    enum class Kind {
        Other,
        Busy,           // another program or till holds what this needs; try again
        ReadOnly,       // the shop takes no writes
        DiskFull,       // there is no room to store it
        Missing,        // the shop (or its file) is not where it should be
        Damaged,        // the shop's file is damaged: no more writes go into it
        Conflict,       // another till's work ran into this; it may simply be run again
        ConnectionLost, // the server cannot be reached, or went away during the work
        Refused,        // the login may not do this
    };

    // `details` is what the engine itself said (libpq's text), kept apart from the sentence
    // for the operator so that a message box can show it as its details.
    explicit DataError(const QString &description, const QString &details = QString())
        : DataError(Kind::Other, description, details) {}
    DataError(Kind kind, const QString &description, const QString &details = QString())
        : std::runtime_error(joined(description, details).toStdString()), sentence_(description),
          details_(details), kind_(kind) {}
    Kind kind() const { return kind_; }
    // The sentence and the engine's words after it, for a log or a tool's output.
    QString description() const { return QString::fromStdString(what()); }
    // The operator's sentence alone, and the engine's words (empty when there are none).
    const QString &sentence() const { return sentence_; }
    const QString &details() const { return details_; }

private:
    static QString joined(const QString &description, const QString &details) {
        return details.isEmpty() ? description : description + QStringLiteral("\n\n") + details;
    }
    QString sentence_;
    QString details_;
    Kind kind_;
};

// Work a database server refused because another till's work ran into it at that moment
// (a serialization failure, a deadlock): nothing of it was stored and it may simply be run
// again.
class ConflictError : public DataError {
public:
    explicit ConflictError(const QString &description, const QString &details = QString())
        : DataError(Kind::Conflict, description, details) {}
};
