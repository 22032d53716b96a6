#include "profile/PrivateProfile.h"
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>
#include "fso/FileSystem.h"

namespace profile {

namespace {

// The reader and the writer find one file for one name: "\\" is a folder
// separator (the program writes its paths so) and letter case is matched as
// the file system's other users match it.
QString settingsFile(const QString& file) { return fso::ResolvePath(file); }

struct IniText {
    QStringList lines;       // without line ends
    bool crlf = false;       // the file's own line end, kept when writing
    bool endsWithNewline = true;
};

bool readIni(const QString& file, IniText& out) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray raw = f.readAll();
    out.crlf = raw.contains("\r\n");
    out.endsWithNewline = raw.isEmpty() || raw.endsWith('\n');
    // Settings files from older installs may be in a single-byte code page.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(raw);
    if (utf8.hasError()) text = QString::fromLatin1(raw);
    text.remove(QLatin1Char('\r'));
    out.lines = text.split(QLatin1Char('\n'));
    if (out.endsWithNewline && !out.lines.isEmpty() && out.lines.last().isEmpty()) out.lines.removeLast();
    return true;
}

// "[name]" gives name; anything else an empty (null) string.
QString sectionName(const QString& line) {
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('['))) return QString();
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close < 0) return QString();
    QString name = t.mid(1, close - 1).trimmed();
    if (name.isNull()) name = QLatin1String("");
    return name;
}

bool isSection(const QString& line) { return !sectionName(line).isNull(); }

bool isComment(const QString& line) { return line.trimmed().startsWith(QLatin1Char(';')); }

// The key of a "key=value" line, or a null string.
QString keyOf(const QString& line) {
    if (isComment(line) || isSection(line)) return QString();
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0) return QString();
    QString k = line.left(eq).trimmed();
    if (k.isNull()) k = QLatin1String("");
    return k;
}

QString valueOf(const QString& line) {
    QString v = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    if (v.size() >= 2) {
        const QChar q = v.front();
        if ((q == QLatin1Char('"') || q == QLatin1Char('\'')) && v.back() == q) v = v.mid(1, v.size() - 2);
    }
    return v;
}

bool sameName(const QString& a, const QString& b) { return a.compare(b.trimmed(), Qt::CaseInsensitive) == 0; }

// Index of the first line of the first section named so, or -1.
qsizetype findSection(const QStringList& lines, const QString& section) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString s = sectionName(lines[i]);
        if (!s.isNull() && sameName(s, section)) return i;
    }
    return -1;
}

// One past the last line of the section that starts at header.
qsizetype sectionEnd(const QStringList& lines, qsizetype header) {
    qsizetype i = header + 1;
    while (i < lines.size() && !isSection(lines[i])) ++i;
    return i;
}

} // namespace

QString GetPrivateProfileString(const QString& section, const QString& key, const QString& defaultValue,
                                int bufferSize, const QString& file, int* count) {
    const int room = bufferSize > 0 ? bufferSize - 1 : 0;
    QString result;
    bool found = false;
    IniText ini;
    if (readIni(settingsFile(file), ini)) {
        const qsizetype header = findSection(ini.lines, section);
        if (header >= 0) {
            const qsizetype end = sectionEnd(ini.lines, header);
            for (qsizetype i = header + 1; i < end; ++i) {
                const QString k = keyOf(ini.lines[i]);
                if (!k.isNull() && sameName(k, key)) {
                    result = valueOf(ini.lines[i]);
                    found = true;
                    break;
                }
            }
        }
    }
    if (!found) {
        result = defaultValue;
        while (!result.isEmpty() && result.back().isSpace()) result.chop(1);
    }
    if (result.size() > room) result.truncate(room);
    if (count) *count = static_cast<int>(result.size());
    return result;
}

bool WritePrivateProfileString(const QString& section, const QString& key, const QString& value,
                               const QString& name) {
    const QString file = settingsFile(name);
    IniText ini;
    const bool existed = QFileInfo::exists(file);
    if (existed && !readIni(file, ini)) return false;
    if (!existed && !QFileInfo(QFileInfo(file).absolutePath()).isDir()) return false;

    const QString entry = key.trimmed() + QLatin1Char('=') + value;
    qsizetype header = findSection(ini.lines, section);
    if (header < 0) {
        ini.lines << QLatin1Char('[') + section.trimmed() + QLatin1Char(']') << entry;
    } else {
        const qsizetype end = sectionEnd(ini.lines, header);
        qsizetype at = -1;
        for (qsizetype i = header + 1; i < end; ++i) {
            const QString k = keyOf(ini.lines[i]);
            if (!k.isNull() && sameName(k, key)) { at = i; break; }
        }
        if (at >= 0) {
            ini.lines[at] = entry;
        } else {
            // After the section's last entry, before the blank lines that part it from the next.
            qsizetype ins = end;
            while (ins > header + 1 && ini.lines[ins - 1].trimmed().isEmpty()) --ins;
            ini.lines.insert(ins, entry);
        }
    }

    const QString eol = ini.crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString out = ini.lines.join(eol);
    out += eol;
    // Write a whole new file and rename it into place, so a failure midway keeps the old settings.
    // A write that does not take every byte (a full disk) is abandoned, never committed.
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = out.toUtf8();
    if (f.write(bytes) != bytes.size() || !f.flush()) {
        f.cancelWriting();   // the temporary file goes with f
        return false;
    }
    return f.commit();
}

} // namespace profile
