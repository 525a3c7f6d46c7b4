// A step rendered for a shop file, and the file's upgrade session.
#include "fileupgrade.h"

#include "shopsteps.h"
#include "sqlitedialect.h"
#include "systemuser.h"

#include <QStringList>

namespace filesteps {

namespace {

// The declared type db/schema.sql gives the kind, which the file's catalogue reads back.
QString declared(ColumnKind kind) {
    switch (kind) {
    case ColumnKind::AutoNumber:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case ColumnKind::Whole:
        return QStringLiteral("INTEGER");
    case ColumnKind::Money:
        return QStringLiteral("MONEY");
    case ColumnKind::Date:
        return QStringLiteral("DATE");
    case ColumnKind::Time:
        return QStringLiteral("TIME");
    case ColumnKind::Moment:
        return QStringLiteral("TIMESTAMP");
    case ColumnKind::Text:
        return QStringLiteral("TEXT");
    }
    return QString();
}

QString columnList(std::span<const Column> columns) {
    QStringList names;
    for (const Column &column : columns)
        names << column.sql();
    return names.join(QLatin1String(", "));
}

QString tableSql(const StepTable &step) {
    const TableDescription &table = *step.table;
    QStringList lines;
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        const Column &column = table.columns[i];
        const ColumnRules &rules = step.rules[i];
        QString line = column.sql() + QLatin1Char(' ') + declared(column.kind);
        // SQLite lets a key that is not the row's number be empty unless told otherwise.
        if (rules.key && column.kind != ColumnKind::AutoNumber)
            line += QStringLiteral(" PRIMARY KEY NOT NULL");
        if (rules.notNull && !rules.key)
            line += QStringLiteral(" NOT NULL");
        if (rules.unique)
            line += QStringLiteral(" UNIQUE");
        if (rules.fallback != nullptr)
            line += QStringLiteral(" DEFAULT ") + QString::fromUtf8(rules.fallback);
        if (rules.check != nullptr)
            line += QStringLiteral(" CHECK (%1)").arg(QString::fromUtf8(rules.check));
        lines << line;
    }
    for (const std::span<const Column> unique : step.uniques)
        lines << QStringLiteral("UNIQUE (%1)").arg(columnList(unique));
    for (const char *check : step.checks)
        lines << QStringLiteral("CHECK (%1)").arg(QString::fromUtf8(check));
    return QStringLiteral("CREATE TABLE [%1] (\n    %2\n);\n")
        .arg(QLatin1String(table.name), lines.join(QLatin1String(",\n    ")));
}

// The statements that make the step in a shop file.
QString sql(const StepDescription &step) {
    QString sql;
    for (const StepTable &table : step.tables)
        sql += tableSql(table);
    for (const StepIndex &index : step.indexes) {
        sql += QStringLiteral("CREATE %1INDEX [%2] ON [%3] (%4)")
                   .arg(index.unique ? QStringLiteral("UNIQUE ") : QString(),
                        QLatin1String(index.name), QLatin1String(index.table),
                        columnList(index.columns));
        if (index.where != nullptr)
            sql += QStringLiteral(" WHERE ") + QString::fromUtf8(index.where);
        sql += QStringLiteral(";\n");
    }
    return sql + QString::fromUtf8(step.fileSql);
}

class FileVersion : public VersionSource {
public:
    explicit FileVersion(SqliteFile &file) : file_(file) {}
    bool hasTable(const char *table) override {
        SqliteStatement found(file_, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE "
                                                    "type = 'table' AND name = ?1 COLLATE NOCASE"));
        found.bind(1, QString::fromLatin1(table));
        return found.step() && found.whole(0) > 0;
    }
    std::vector<VersionRow> versionRows() override {
        namespace V = tables::shopversion;
        SqliteStatement select(file_, QStringLiteral("SELECT %1, %2 FROM [%3]")
                                          .arg(V::Version.sql(), V::OldestWriter.sql(), V::table));
        std::vector<VersionRow> rows;
        while (select.step())
            rows.push_back({select.string(0), select.string(1)});
        return rows;
    }

private:
    SqliteFile &file_;
};

} // namespace

ShopVersion version(SqliteFile &file, std::span<const StepDescription> steps) {
    FileVersion source(file);
    return shopversion::read(source, steps);
}

} // namespace filesteps

// A second upgrade waits for the first's write lock as long as a step may take.
FileUpgrade::FileUpgrade(const QString &path)
    : path_(path), file_(path, SqliteFile::Mode::ReadWrite, 10 * 60 * 1000) {
    // An upgrade made is kept through a power cut, as a sale is.
    file_.exec(QStringLiteral("PRAGMA synchronous=FULL"));
}

QString FileUpgrade::describe() const {
    return QStringLiteral("The shop file %1").arg(path_);
}

QString FileUpgrade::login() {
    return systemUser();
}

bool FileUpgrade::hasTable(const char *table) {
    return filesteps::FileVersion(file_).hasTable(table);
}

std::vector<VersionRow> FileUpgrade::versionRows() {
    return filesteps::FileVersion(file_).versionRows();
}

void FileUpgrade::begin() {
    file_.exec(QStringLiteral("BEGIN IMMEDIATE"));
}

void FileUpgrade::apply(const StepDescription &step, bool upgrading) {
    file_.exec(filesteps::sql(step));
    if (upgrading && *step.fileUpgradedSql != '\0')
        file_.exec(QString::fromUtf8(step.fileUpgradedSql));
}

const SqlDialect &FileUpgrade::dialect() const {
    return engines::fileDialect();
}

void FileUpgrade::run(const QString &sql, const QVariantList &values) {
    SqliteStatement statement(file_, sql);
    for (int i = 0; i < values.size(); ++i)
        statement.bind(i + 1, values[i]);
    statement.step();
}

void FileUpgrade::commit() {
    file_.exec(QStringLiteral("COMMIT"));
}

void FileUpgrade::rollback() noexcept {
    try {
        if (file_.inTransaction())
            file_.exec(QStringLiteral("ROLLBACK"));
    } catch (const DataError &) {
    }
}
