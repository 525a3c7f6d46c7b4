// The one exception type of the data layer: every database or conversion failure becomes a
// DataError whose what() is a description fit to show the operator.
#pragma once

#include <QString>
#include <stdexcept>

class DataError : public std::runtime_error {
public:
    // `details` is what the engine itself said (libpq's text), kept apart from the sentence
    // for the operator so that a message box can show it as its details.
    explicit DataError(const QString &description, const QString &details = QString())
        : std::runtime_error(joined(description, details).toStdString()), sentence_(description),
          details_(details) {}
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
};

// Work a database server refused because another till's work ran into it at that moment
// (a serialization failure, a deadlock): nothing of it was stored and it may simply be run
// again.
class ConflictError : public DataError {
public:
    using DataError::DataError;
};
