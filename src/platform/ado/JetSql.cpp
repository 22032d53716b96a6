#include "ado/JetSql.h"
#include <cstring>
#include <vector>
#include <QDate>
#include <QTime>
#include "vb/RuntimeError.h"

namespace ado {

namespace {

enum class Tok { Space, Word, Number, SQuote, DQuote, Bracket, Hash, Punct };

struct Token {
    Tok kind;
    qsizetype begin;
    qsizetype len;
};

[[noreturn]] void syntaxError(const QString& what) {
    vb::Raise(vb::err::SqlPrepare, what);
}

bool isWordStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$'); }
bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Splits the text into tokens; quoted and bracketed runs are single tokens
// whose content is never looked at again.
std::vector<Token> tokenize(const QString& s) {
    std::vector<Token> out;
    const qsizetype n = s.size();
    out.reserve(static_cast<size_t>(n / 2 + 8));
    qsizetype i = 0;
    auto quoted = [&](QChar q) {
        qsizetype j = i + 1;
        while (j < n) {
            if (s[j] == q) {
                if (j + 1 < n && s[j + 1] == q) { j += 2; continue; }
                return j + 1;
            }
            ++j;
        }
        syntaxError(QStringLiteral("unrecognized token: \"%1\"").arg(s.mid(i, 20)));
    };
    while (i < n) {
        const QChar c = s[i];
        qsizetype j = i + 1;
        Tok kind = Tok::Punct;
        if (c.isSpace()) {
            while (j < n && s[j].isSpace()) ++j;
            kind = Tok::Space;
        } else if (c == QLatin1Char('\'')) {
            j = quoted(c);
            kind = Tok::SQuote;
        } else if (c == QLatin1Char('"')) {
            j = quoted(c);
            kind = Tok::DQuote;
        } else if (c == QLatin1Char('[')) {
            while (j < n && s[j] != QLatin1Char(']')) ++j;
            if (j >= n) syntaxError(QStringLiteral("unrecognized token: \"%1\"").arg(s.mid(i, 20)));
            ++j;
            kind = Tok::Bracket;
        } else if (c == QLatin1Char('#')) {
            while (j < n && s[j] != QLatin1Char('#')) ++j;
            if (j >= n) syntaxError(QStringLiteral("near \"%1\": syntax error").arg(s.mid(i, 20)));
            ++j;
            kind = Tok::Hash;
        } else if (isDigit(c) || (c == QLatin1Char('.') && i + 1 < n && isDigit(s[i + 1]))) {
            while (j < n && (isDigit(s[j]) || s[j] == QLatin1Char('.'))) ++j;
            if (j < n && (s[j] == QLatin1Char('e') || s[j] == QLatin1Char('E'))) {
                qsizetype k = j + 1;
                if (k < n && (s[k] == QLatin1Char('+') || s[k] == QLatin1Char('-'))) ++k;
                if (k < n && isDigit(s[k])) {
                    j = k;
                    while (j < n && isDigit(s[j])) ++j;
                }
            }
            kind = Tok::Number;
        } else if (isWordStart(c)) {
            while (j < n && isWordChar(s[j])) ++j;
            kind = Tok::Word;
        } else {
            static const char* const twoChar[] = {"<=", ">=", "<>", "!=", "||", "==", "<<", ">>"};
            for (const char* op : twoChar) {
                if (i + 1 < n && s[i] == QLatin1Char(op[0]) && s[i + 1] == QLatin1Char(op[1])) { j = i + 2; break; }
            }
        }
        out.push_back({kind, i, j - i});
        i = j;
    }
    return out;
}

// Whether w is one of the given words (lower case), letters compared without case.
template <size_t N>
bool isOneOf(QStringView w, const char* const (&words)[N]) {
    char low[8];
    if (w.size() >= qsizetype(sizeof low)) return false;
    for (qsizetype k = 0; k < w.size(); ++k) {
        const char16_t c = w[k].unicode();
        if (c >= 0x80) return false;
        low[k] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
    low[w.size()] = 0;
    for (const char* k : words)
        if (k[0] == low[0] && std::strcmp(k, low) == 0) return true;
    return false;
}

const char* const kTruth[] = {"true", "false"};
const char* const kSelect[] = {"select"};

bool isKeyword(QStringView w) {
    static const char* const words[] = {"select", "from", "where", "and", "or", "not", "as", "on", "by",
                                        "order", "group", "having", "set", "values", "into", "insert",
                                        "update", "delete", "like", "is", "in", "inner", "left", "right",
                                        "outer", "join", "asc", "desc", "between", "union", "escape"};
    return isOneOf(w, words);
}

const char* const kConditionClauses[] = {"where", "having", "on"};
const char* const kOtherClauses[] = {"select", "from", "group", "order", "limit", "union", "except", "intersect"};

class Translator {
public:
    explicit Translator(const QString& s, std::vector<SqlLiteral>* lifted = nullptr)
        : s_(s), t_(tokenize(s)), lifted_(lifted) {}

    QString run() {
        qsizetype end = static_cast<qsizetype>(t_.size());
        // One statement only; a ';' may close it.
        for (qsizetype i = 0; i < end; ++i) {
            if (isPunct(i, ';')) {
                for (qsizetype k = i + 1; k < end; ++k)
                    if (t_[k].kind != Tok::Space)
                        syntaxError(QStringLiteral("only one statement may be run at a time"));
                end = i;
                break;
            }
        }
        // Jet's "DELETE * FROM": SQLite wants no column list.
        qsizetype first = nextSolid(0, end);
        if (first < end && t_[first].kind == Tok::Word && text(first).compare(QLatin1String("delete"), Qt::CaseInsensitive) == 0) {
            qsizetype star = nextSolid(first + 1, end);
            if (star < end && isPunct(star, '*')) skip_ = star;
        }
        if (lifted_ && first < end && t_[first].kind == Tok::Word && isOneOf(text(first), kSelect)) markLiftable(end);
        QString out;
        out.reserve(s_.size() + 32);
        translate(0, end, out);
        return out;
    }

private:
    QStringView text(qsizetype i) const { return QStringView(s_).mid(t_[i].begin, t_[i].len); }
    bool isPunct(qsizetype i, char c) const {
        return t_[i].kind == Tok::Punct && t_[i].len == 1 && s_[t_[i].begin] == QLatin1Char(c);
    }
    qsizetype nextSolid(qsizetype i, qsizetype end) const {
        while (i < end && t_[i].kind == Tok::Space) ++i;
        return i;
    }
    // The ')' that closes the '(' at open, or -1.
    qsizetype matching(qsizetype open, qsizetype end) const {
        int depth = 0;
        for (qsizetype i = open; i < end; ++i) {
            if (isPunct(i, '(')) ++depth;
            else if (isPunct(i, ')') && --depth == 0) return i;
        }
        return -1;
    }
    qsizetype closeOf(qsizetype open, qsizetype end) const {
        const qsizetype close = matching(open, end);
        if (close < 0) syntaxError(QStringLiteral("incomplete input: missing \")\""));
        return close;
    }

    static QString dateLiteral(QStringView content) {
        // Only the two forms the writers produce; anything else is refused, never guessed.
        const QString c = content.toString();
        int y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0;
        auto digits = [&](qsizetype at, qsizetype count, int& v) {
            v = 0;
            for (qsizetype k = at; k < at + count; ++k) {
                if (!isDigit(c[k])) return false;
                v = v * 10 + (c[k].unicode() - '0');
            }
            return true;
        };
        bool ok = false;
        if (c.size() == 10 || c.size() == 19) {
            ok = digits(0, 4, y) && c[4] == QLatin1Char('-') && digits(5, 2, mo) && c[7] == QLatin1Char('-') &&
                 digits(8, 2, d);
            if (ok && c.size() == 19)
                ok = c[10] == QLatin1Char(' ') && digits(11, 2, h) && c[13] == QLatin1Char(':') && digits(14, 2, mi) &&
                     c[16] == QLatin1Char(':') && digits(17, 2, se);
        }
        ok = ok && QDate::isValid(y, mo, d) && QTime::isValid(h, mi, se);
        if (!ok) syntaxError(QStringLiteral("near \"#%1#\": syntax error").arg(c));
        QString iso = c.size() == 10 ? c + QStringLiteral(" 00:00:00") : c;
        return QLatin1Char('\'') + iso + QLatin1Char('\'');
    }

    static QString doubleQuoted(QStringView tok) {
        QString inner = tok.mid(1, tok.size() - 2).toString();
        inner.replace(QLatin1String("\"\""), QLatin1String("\""));
        inner.replace(QLatin1String("'"), QLatin1String("''"));
        return QLatin1Char('\'') + inner + QLatin1Char('\'');
    }

    // Appends a name with its qualifiers ("[tb_Client].[lname]", "t.*") starting at i; returns one past it.
    qsizetype qualifiedName(qsizetype i, qsizetype end, QString& out) const {
        out += text(i);
        ++i;
        while (i + 1 < end && isPunct(i, '.') &&
               (t_[i + 1].kind == Tok::Word || t_[i + 1].kind == Tok::Bracket || isPunct(i + 1, '*'))) {
            out += QLatin1Char('.');
            out += text(i + 1);
            i += 2;
        }
        return i;
    }

    // Appends the translation of tokens [b, e) to out. "a & b & c" becomes a
    // concatenation that reads Null as "", as Jet's & does: the operands of
    // an open chain wait aside until a unit other than blanks or '&' comes.
    void translate(qsizetype b, qsizetype e, QString& out) {
        qsizetype lastTerm = -1, lastTermEnd = -1;   // the last operand in out, only blanks after it
        std::vector<QString> chain;
        qsizetype chainAt = -1;
        for (qsizetype i = b; i < e;) {
            if (i != skip_ && isPunct(i, '&')) {
                if (chain.empty()) {
                    if (lastTerm < 0) syntaxError(QStringLiteral("near \"&\": syntax error"));
                    chain.push_back(out.mid(lastTerm, lastTermEnd - lastTerm));
                    chainAt = lastTerm;
                }
                out.truncate(chainAt);
                qsizetype j = nextSolid(i + 1, e);
                QString operand;
                bool space = false, term = false;
                if (j < e) j = unit(j, b, e, operand, space, term);
                if (!term) syntaxError(QStringLiteral("near \"&\": syntax error"));
                chain.push_back(std::move(operand));
                i = j;
                continue;
            }
            const bool skipped = i == skip_;
            qsizetype at = out.size();
            bool space = false, term = false;
            i = unit(i, b, e, out, space, term);
            if (skipped || space) continue;
            if (!chain.empty()) {
                const QString folded = fold(chain);
                out.insert(chainAt, folded);
                at += folded.size();
                chain.clear();
            }
            lastTerm = term ? at : -1;
            lastTermEnd = out.size();
        }
        if (!chain.empty()) out.insert(chainAt, fold(chain));
    }

    // Appends the unit that starts at token i (a name, a literal, a call, a
    // parenthesised group, a keyword, blanks or one mark) and returns one past it.
    qsizetype unit(qsizetype i, qsizetype b, qsizetype e, QString& out, bool& space, bool& term) {
        if (i == skip_) return nextSolid(i + 1, e);
        const Token& tk = t_[i];
        switch (tk.kind) {
        case Tok::Space:
            out += text(i);
            space = true;
            return i + 1;
        case Tok::SQuote:
        case Tok::Number:
            term = true;
            if (lift(i, out)) return i + 1;
            out += text(i);
            return i + 1;
        case Tok::DQuote:
            out += doubleQuoted(text(i));
            term = true;
            return i + 1;
        case Tok::Hash: {
            const QString date = dateLiteral(text(i).mid(1, tk.len - 2));
            term = true;
            if (i < qsizetype(liftable_.size()) && liftable_[i]) {
                lifted_->push_back({true, 0, QStringView(date).mid(1, date.size() - 2).toUtf8()});
                out += QLatin1Char('?');
            } else {
                out += date;
            }
            return i + 1;
        }
        case Tok::Bracket:
            term = true;
            return qualifiedName(i, e, out);
        case Tok::Word: {
            const QStringView w = text(i);
            const bool afterDot = i > b && isPunct(i - 1, '.');
            const qsizetype next = nextSolid(i + 1, e);
            const bool call = next < e && isPunct(next, '(') && !isKeyword(w);
            term = true;
            if (call && w.compare(QLatin1String("isnull"), Qt::CaseInsensitive) == 0) {
                // ISNULL is a postfix operator in SQLite, so the call becomes a test.
                const qsizetype close = closeOf(next, e);
                out += QLatin1String("((");
                translate(next + 1, close, out);
                out += QLatin1String(") IS NULL)");
                return close + 1;
            }
            if (call) {
                const qsizetype close = closeOf(next, e);
                out += w;
                out += QLatin1Char('(');
                translate(next + 1, close, out);
                out += QLatin1Char(')');
                return close + 1;
            }
            if (!afterDot && !(i + 1 < e && isPunct(i + 1, '.')) && isOneOf(w, kTruth)) {
                out += w.size() == 4 ? QLatin1Char('1') : QLatin1Char('0');
                return i + 1;
            }
            if (isKeyword(w)) {
                term = false;
                out += w;
                return i + 1;
            }
            return qualifiedName(i, e, out);
        }
        case Tok::Punct:
            if (isPunct(i, '(')) {
                const qsizetype close = closeOf(i, e);
                out += QLatin1Char('(');
                translate(i + 1, close, out);
                out += QLatin1Char(')');
                term = true;
                return close + 1;
            }
            out += text(i);
            return i + 1;
        }
        return i + 1;
    }

    static QString fold(const std::vector<QString>& chain) {
        QString s = QStringLiteral("(");
        for (size_t k = 0; k < chain.size(); ++k) {
            if (k) s += QLatin1String("||");
            s += QLatin1String("IFNULL(") + chain[k] + QLatin1String(",'')");
        }
        s += QLatin1Char(')');
        return s;
    }

    bool isComparison(qsizetype i) const {
        if (t_[i].kind != Tok::Punct) return false;
        const QStringView p = text(i);
        return p == u"=" || p == u"<" || p == u">" || p == u"<=" || p == u">=" || p == u"<>" || p == u"!=" ||
               p == u"==";
    }

    // Marks the literals that are the right-hand operand of a comparison in
    // a WHERE, HAVING or ON clause; a parenthesis keeps the clause it is in.
    void markLiftable(qsizetype end) {
        liftable_.assign(static_cast<size_t>(end), 0);
        std::vector<bool> outer;
        bool condition = false;
        qsizetype prev = -1;
        for (qsizetype i = 0; i < end; ++i) {
            const Token& tk = t_[i];
            if (tk.kind == Tok::Space) continue;
            if (isPunct(i, '(')) {
                outer.push_back(condition);
            } else if (isPunct(i, ')')) {
                if (!outer.empty()) {
                    condition = outer.back();
                    outer.pop_back();
                }
            } else if (tk.kind == Tok::Word) {
                if (isOneOf(text(i), kConditionClauses)) condition = true;
                else if (isOneOf(text(i), kOtherClauses)) condition = false;
            } else if ((tk.kind == Tok::SQuote || tk.kind == Tok::Number || tk.kind == Tok::Hash) && condition &&
                       prev >= 0 && isComparison(prev)) {
                liftable_[static_cast<size_t>(i)] = 1;
            }
            prev = i;
        }
    }

    // Appends '?' for a marked whole number (as the engine reads it, up to
    // 18 digits) or quoted text, and keeps its value.
    bool lift(qsizetype i, QString& out) {
        if (i >= qsizetype(liftable_.size()) || !liftable_[i]) return false;
        const QStringView tok = text(i);
        SqlLiteral v;
        if (t_[i].kind == Tok::Number) {
            if (tok.size() > 18) return false;
            for (const QChar c : tok)
                if (!isDigit(c)) return false;
            v.number = tok.toLongLong();
        } else {
            v.text = true;
            QString inner = tok.mid(1, tok.size() - 2).toString();
            inner.replace(QLatin1String("''"), QLatin1String("'"));
            v.utf8 = inner.toUtf8();
        }
        lifted_->push_back(std::move(v));
        out += QLatin1Char('?');
        return true;
    }

    const QString& s_;
    std::vector<Token> t_;
    std::vector<SqlLiteral>* lifted_;
    std::vector<uint8_t> liftable_;
    qsizetype skip_ = -1;   // the '*' of a leading DELETE
};

} // namespace

QString JetToSqlite(const QString& jet) {
    return Translator(jet).run();
}

QString JetToSqlite(const QString& jet, std::vector<SqlLiteral>& lifted) {
    lifted.clear();
    return Translator(jet, &lifted).run();
}

} // namespace ado
