// The one exception type of the data layer: every database or conversion failure becomes a
// DataError whose what() is a description fit to show the operator.
#pragma once

#include <QString>
#include <stdexcept>

class DataError : public std::runtime_error {
public:
    explicit DataError(const QString &description)
        : std::runtime_error(description.toStdString()) {}
    QString description() const { return QString::fromStdString(what()); }
};

// Work a database server refused because another till's work ran into it at that moment
// (a serialization failure, a deadlock): nothing of it was stored and it may simply be run
// again.
class ConflictError : public DataError {
public:
    using DataError::DataError;
};
