// SQL written as text, read as tokens and rendered in an engine's dialect: the record sources'
// texts (the query forms the screens set) and single statements (tests, benchmarks, a look
// at the shop by hand). Quotes, brackets, comments, ; and parameters are tokens, so nothing
// inside a quoted value or a comment is ever taken for SQL.
#include "sqldialect.h"

#include "conversions.h"
#include "dataerror.h"
#include "shopsteps.h"
#include "shoptables.h"
#include "shopversion.h"

#include <QHash>
#include <algorithm>

namespace {

struct Token {
    enum Kind { Space, Text, Name, Word, Number, Date, Parameter, Symbol };
    Kind kind;
    QString text;   // as written; a comment is one space
    QString value;  // a name without its quotes, a date in its stored form
    int number = 0; // a parameter's number; 0 for a bare ?

    bool is(const char *word) const {
        return (kind == Word || kind == Symbol) &&
               text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool isName() const { return kind == Name || kind == Word; }
    QString name() const { return kind == Name ? value : text; }
};

[[noreturn]] void syntaxError(const QString &what, const QString &text) {
    throw DataError(QStringLiteral("Syntax error in query: %1 in '%2'.").arg(what, text));
}

// Where the part opened at `from` ends: at its closing character, which stands for itself
// when doubled (`doubles`).
qsizetype closing(const QString &text, qsizetype from, QChar close, bool doubles) {
    for (qsizetype i = from + 1; i < text.size(); ++i) {
        if (text[i] != close)
            continue;
        if (!doubles || i + 1 >= text.size() || text[i + 1] != close)
            return i;
        ++i;
    }
    syntaxError(QStringLiteral("unclosed ") + text[from], text);
}

qsizetype skipDigits(const QString &text, qsizetype i) {
    while (i < text.size() && text[i].isDigit())
        ++i;
    return i;
}

// Every token of the text. Throws DataError for what is not SQL of the shop's form: an
// unclosed quote, bracket or comment, a date that is none, a named parameter or any other
// character.
std::vector<Token> tokensOf(const QString &text) {
    static const QStringList pairs{QStringLiteral("=="), QStringLiteral("<>"), QStringLiteral("!="),
                                   QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("||"),
                                   QStringLiteral("::")};
    static const QString singles = QStringLiteral("(),.;*+-/%=<>");
    std::vector<Token> tokens;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        const QStringView rest = QStringView(text).mid(i);
        qsizetype end = i + 1;
        Token token{Token::Symbol, {}, {}};
        if (c.isSpace()) {
            while (end < text.size() && text[end].isSpace())
                ++end;
            token.kind = Token::Space;
        } else if (rest.startsWith(u"--") || rest.startsWith(u"/*")) {
            const bool line = rest.startsWith(u"--");
            end = text.indexOf(line ? QStringLiteral("\n") : QStringLiteral("*/"), i + 2);
            if (end < 0 && !line)
                syntaxError(QStringLiteral("unclosed /*"), text);
            end = end < 0 ? text.size() : end + (line ? 0 : 2);
            token = {Token::Space, QStringLiteral(" "), {}};
        } else if (c == u'\'') {
            end = closing(text, i, c, true) + 1;
            token.kind = Token::Text;
        } else if (c == u'[' || c == u'"' || c == u'`') {
            const QChar close = c == u'[' ? u']' : c;
            end = closing(text, i, close, c != u'[') + 1;
            token = {Token::Name, {}, text.mid(i + 1, end - i - 2)};
            token.value.replace(QString(2, close), close);
        } else if (c == u'#') {
            end = closing(text, i, c, false) + 1;
            const QDate date = conv::parseDate(text.mid(i + 1, end - i - 2));
            if (!date.isValid())
                throw DataError(
                    QStringLiteral("Syntax error in date in query expression '%1'.").arg(text));
            token = {Token::Date, {}, conv::isoDate(date)};
        } else if (c.isDigit() || (c == u'.' && rest.size() > 1 && rest[1].isDigit())) {
            end = skipDigits(text, i);
            if (end < text.size() && text[end] == u'.')
                end = skipDigits(text, end + 1);
            const QStringView exponent = QStringView(text).mid(end, 3);
            const qsizetype sign =
                exponent.size() > 1 && (exponent[1] == u'+' || exponent[1] == u'-');
            if (exponent.size() > 1 + sign && exponent[0].toLower() == u'e' &&
                exponent[1 + sign].isDigit())
                end = skipDigits(text, end + 1 + sign);
            token.kind = Token::Number;
        } else if (c.isLetter() || c == u'_') {
            while (end < text.size() && (text[end].isLetterOrNumber() || text[end] == u'_'))
                ++end;
            token.kind = Token::Word;
        } else if (c == u'?') {
            end = skipDigits(text, i + 1);
            token = {Token::Parameter, {}, {}, text.mid(i + 1, end - i - 1).toInt()};
        } else if (pairs.contains(rest.left(2))) {
            end = i + 2;
        } else if (!singles.contains(c)) {
            syntaxError(QStringLiteral("unexpected ") + c, text);
        }
        if (token.text.isEmpty())
            token.text = text.mid(i, end - i);
        tokens.push_back(token);
        i = end;
    }
    return tokens;
}

// The ten tables and those the versions' steps add (a shop of an earlier version without one
// is told by the engine that it is missing).
const TableDescription *describedTable(const QString &name) {
    static const std::vector<const TableDescription *> every =
        shopversion::tablesOf(shopversion::newest(steps::all), steps::all);
    for (const TableDescription *table : every)
        if (name.compare(QLatin1String(table->name), Qt::CaseInsensitive) == 0)
            return table;
    return nullptr;
}

// The described column of the table written as `name` (in any case); null when none is.
const Column *describedColumn(const TableDescription &table, const QString &name) {
    for (const Column &column : table.columns)
        if (name.compare(QLatin1String(column.name), Qt::CaseInsensitive) == 0)
            return &column;
    return nullptr;
}

// The tokens of a text with what the engine's text adds after some of them (a record
// source's row id, its text order, its stored order), rendered token by token.
class TokenText {
public:
    TokenText(const SqlDialect &dialect, const QString &text)
        : dialect_(dialect), text_(text), tokens_(tokensOf(text)) {
        for (std::size_t i = 0; i < tokens_.size(); ++i)
            if (tokens_[i].kind != Token::Space)
                words_.push_back(i);
    }

    // The significant tokens (no spaces, no comments), by their place among them.
    std::size_t size() const { return words_.size(); }
    const Token &operator[](std::size_t at) const { return tokens_[words_[at]]; }
    const QString &text() const { return text_; }
    // Adds text after a significant token.
    void addAfter(std::size_t at, const QString &text) { added_[words_[at]] += text; }

    // `stars`: a select list's * stands for the columns of its table.
    EngineSql render(bool several, bool stars) const {
        for (std::size_t at = 0; !several && at + 1 < size(); ++at)
            if ((*this)[at].is(";"))
                syntaxError(QStringLiteral("a second statement after ;"), text_);
        EngineSql result{{}, size() > 0 && (*this)[0].is("select")};
        int lastParameter = 0;
        std::vector<int> totals; // the depths of the total( ... ) around the token
        int depth = 0;
        for (std::size_t at = 0, i = 0; i < tokens_.size(); ++i) {
            const Token &token = tokens_[i];
            if (token.kind == Token::Space) {
                result.sql += token.text;
                continue;
            }
            const bool call = at + 1 < size() && (*this)[at + 1].is("(");
            const SqlDialect::Spelling &spelling = dialect_.spelling();
            QString out = token.text;
            if (token.kind == Token::Name && spelling.lowerCaseNames) {
                out = dialect_.name(token.value);
            } else if (token.kind == Token::Date) {
                out = QLatin1Char('\'') + token.value + QLatin1Char('\'');
            } else if (token.kind == Token::Parameter) {
                // SQLite's rule: a bare ? takes the largest number so far, plus one.
                const int number = token.number > 0 ? token.number : lastParameter + 1;
                lastParameter = std::max(lastParameter, number);
                out = dialect_.parameter(number);
            } else if (token.is("total") && call) {
                out = spelling.totalOpen; // with its (
                totals.push_back(++depth);
                i = words_[++at];
            } else if (token.is("ifnull") && call) {
                out = QStringLiteral("coalesce");
            } else if (token.is("==")) {
                out = QStringLiteral("=");
            } else if (token.is("*") && stars && isSelectStar(at)) {
                out = starColumns(at);
            } else if (token.is(";") && at + 1 == size() && !several) {
                out.clear();
            }
            depth += token.is("(") ? 1 : 0;
            if (token.is(")")) {
                if (!totals.empty() && totals.back() == depth) {
                    out = spelling.totalClose;
                    totals.pop_back();
                }
                --depth;
            }
            result.sql += out + added_.value(i);
            ++at;
        }
        return result;
    }

private:
    // A * of a select list: after SELECT, DISTINCT, ALL, a comma, or a table's name and a dot.
    bool isSelectStar(std::size_t at) const {
        if (at == 0)
            return false;
        const Token &before = (*this)[at - 1];
        return before.is("select") || before.is("distinct") || before.is("all") || before.is(",") ||
               (before.is(".") && at >= 2 && (*this)[at - 2].isName());
    }

    static bool endsFrom(const Token &token) {
        for (const char *word : {")", ";", "where", "group", "order", "limit", "offset", "having",
                                 "window", "for", "union", "except", "intersect"})
            if (token.is(word))
                return true;
        return false;
    }

    // The described columns the * at `star` stands for: its select must read one described
    // table, or for t.* name t among its tables. Anything else would show the table's hidden
    // columns, or columns that are not known, and is refused.
    QString starColumns(std::size_t star) const {
        std::size_t from = star + 1;
        for (int depth = 0; from < size() && depth >= 0 && (depth > 0 || !(*this)[from].is("from"));
             ++from)
            depth += (*this)[from].is("(") ? 1 : (*this)[from].is(")") ? -1 : 0;
        const bool qualified = (*this)[star - 1].is(".");
        const QString prefix = qualified ? (*this)[star - 2].name() : QString();
        const TableDescription *table = from + 1 >= size() || !(*this)[from].is("from") ? nullptr
                                        : qualified ? tableCalled(from, prefix)
                                                    : onlyTable(from);
        if (table == nullptr)
            throw DataError(QStringLiteral("The statement '%1' cannot be run on %2: its select * "
                                           "is not over one of the shop's tables; name the "
                                           "columns instead.")
                                .arg(text_, dialect_.spelling().runsOn));
        // t.* keeps its t. for the first column.
        QStringList names;
        for (const Column &column : table->columns)
            names << dialect_.name(QLatin1String(column.name));
        return names.join(QStringLiteral(", ") +
                          (qualified ? dialect_.name(prefix) + QLatin1Char('.') : QString()));
    }

    // The described table the FROM at `from` reads, when it reads one table alone (under its
    // own name or another).
    const TableDescription *onlyTable(std::size_t from) const {
        std::size_t at = from + 2;
        at += at < size() && (*this)[at].is("as") ? 1 : 0;
        at += at < size() && (*this)[at].isName() && !endsFrom((*this)[at]) ? 1 : 0;
        return at >= size() || endsFrom((*this)[at]) ? describedTable((*this)[from + 1].name())
                                                     : nullptr;
    }

    // The described table the FROM at `from` names, or calls, `name`.
    const TableDescription *tableCalled(std::size_t from, const QString &name) const {
        for (std::size_t at = from + 1; at < size() && !endsFrom((*this)[at]); ++at) {
            if (!(*this)[at].isName() || (*this)[at].name().compare(name, Qt::CaseInsensitive))
                continue;
            const std::size_t table = (*this)[at - 1].is("as") ? at - 2 : at - 1;
            const TableDescription *named = describedTable(name);
            return named != nullptr || table <= from ? named
                                                     : describedTable((*this)[table].name());
        }
        return nullptr;
    }

    const SqlDialect &dialect_;
    const QString &text_;
    std::vector<Token> tokens_;
    std::vector<std::size_t> words_; // where the significant tokens are
    QHash<std::size_t, QString> added_;
};

// A record-source text, read by the forms the screens set and nothing more:
//   a table's name, or
//   SELECT (* | name {, name}) FROM name [WHERE cond {AND cond}] [ORDER BY key [ASC|DESC]] [;]
//   cond: operand (= | < | <= | > | >= | <>) operand, an operand being a name, text, date or
//   number, or ?1 to ?N where the caller binds N values; key: name | VAL(name).
class RecordSourceReader {
public:
    RecordSourceReader(const SqlDialect &dialect, const QString &text, int values)
        : dialect_(dialect), text_(dialect, text), values_(values) {}

    RecordSourceSql read() {
        if (text_.size() == 0)
            throw DataError(QStringLiteral("The record source has no query text."));
        // A table's name alone: its every row.
        if (text_.size() == 1 && text_[0].isName() && !text_[0].is("select")) {
            const QString whole = QStringLiteral("select * from ") + text_.text();
            return RecordSourceReader(dialect_, whole, values_).read();
        }
        const std::size_t end =
            text_.size() > 0 && text_[text_.size() - 1].is(";") ? text_.size() - 1 : text_.size();
        if (!accept("select"))
            invalid();
        text_.addAfter(0, QStringLiteral(" rowid,"));
        std::vector<QString> columns;
        if (!accept("*"))
            do
                columns.push_back(name());
            while (accept(","));
        if (!accept("from"))
            invalid();
        const QString tableName = name();
        const TableDescription *table = describedTable(tableName);
        if (table == nullptr)
            throw DataError(QStringLiteral("The table '%1' does not exist in the shop database.")
                                .arg(tableName));
        if (accept("where"))
            do {
                operand();
                if (!(accept("=") || accept("<") || accept("<=") || accept(">") || accept(">=") ||
                      accept("<>")))
                    invalid();
                operand();
            } while (accept("and"));
        QString storedOrder = QStringLiteral(" ORDER BY rowid");
        if (accept("order")) {
            if (!accept("by"))
                invalid();
            const bool val = accept("val") && accept("(");
            const Column *key = describedColumn(*table, name());
            if (val && !accept(")"))
                invalid();
            if (!val && key != nullptr && key->kind == ColumnKind::Text)
                text_.addAfter(at_ - 1,
                               QStringLiteral(" COLLATE ") + dialect_.spelling().collation);
            if (!accept("asc"))
                accept("desc");
            storedOrder = QStringLiteral(", rowid");
        }
        if (at_ != end)
            invalid();
        // Where no order of the text decides, rows come in the order they were stored, as
        // from the file, which scans its tables in that order.
        if (dialect_.spelling().ordersByRowid)
            text_.addAfter(at_ - 1, storedOrder);

        RecordSourceSql result{text_.render(false, true), QLatin1String(table->name), {}};
        if (columns.empty())
            result.fields.assign(table->columns.begin(), table->columns.end());
        for (const QString &column : columns) {
            const Column *field = describedColumn(*table, column);
            if (field == nullptr)
                throw DataError(QStringLiteral("The table '%1' of the shop database has no column "
                                               "'%2'.")
                                    .arg(QLatin1String(table->name), column));
            result.fields.push_back(*field);
        }
        return result;
    }

private:
    [[noreturn]] void invalid() const {
        throw DataError(QStringLiteral("Invalid query text '%1': expected a table name or "
                                       "select ... from a table.")
                            .arg(text_.text().trimmed()));
    }
    bool accept(const char *word) {
        if (at_ >= text_.size() || !text_[at_].is(word))
            return false;
        ++at_;
        return true;
    }
    QString name() {
        if (at_ >= text_.size() || !text_[at_].isName())
            invalid();
        return text_[at_++].name();
    }
    void operand() {
        if (at_ >= text_.size() || text_[at_].kind == Token::Symbol)
            invalid();
        // A value of the caller's, by its number: a bare ? would be numbered by its place.
        const Token &token = text_[at_];
        if (token.kind == Token::Parameter && (token.number < 1 || token.number > values_))
            invalid();
        ++at_;
    }

    const SqlDialect &dialect_;
    TokenText text_;
    int values_; // the parameters the caller binds
    std::size_t at_ = 0;
};

} // namespace

RecordSourceSql SqlDialect::recordSource(const QString &text, int values) const {
    return RecordSourceReader(*this, text, values).read();
}

EngineSql SqlDialect::statement(const QString &text, bool several) const {
    const TokenText tokens(*this, text);
    if (!spelling_.takesPragma && tokens.size() > 0 && tokens[0].is("pragma"))
        throw DataError(QStringLiteral("The statement '%1' cannot be run on %2: PRAGMA is the "
                                       "shop file's own.")
                            .arg(text, spelling_.runsOn));
    return tokens.render(several, spelling_.listsColumns);
}
