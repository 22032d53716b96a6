#include "profile/PrivateProfile.h"
#include <QFile>
#include <QFileInfo>
#include <QList>
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

// The file as lines of bytes, each kept as it was read (its own '\r' too),
// so a write changes only the line it is about.
struct IniText {
    QByteArray lead;              // byte-order marks before the first line
    QList<QByteArray> raw;        // without '\n'
    QStringList lines;            // raw, decoded, without '\r'
    bool crlf = false;            // the file's own line end, for lines written new
    bool endsWithNewline = true;
};

// Settings files from older installs may be in a single-byte code page;
// each line is read by itself, so one such line spoils no other.
QString decodeLine(QByteArray bytes) {
    if (bytes.endsWith('\r')) bytes.chop(1);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

bool readIni(const QString& file, IniText& out) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return false;
    QByteArray raw = f.readAll();
    // However many marks an editor left, none is part of the first line.
    static const QByteArray bom("\xEF\xBB\xBF");
    qsizetype lead = 0;
    while (raw.mid(lead, bom.size()) == bom) lead += bom.size();
    out.lead = raw.left(lead);
    raw.remove(0, lead);
    out.crlf = raw.contains("\r\n");
    out.endsWithNewline = raw.isEmpty() || raw.endsWith('\n');
    out.raw = raw.split('\n');
    if (out.endsWithNewline && !out.raw.isEmpty() && out.raw.last().isEmpty()) out.raw.removeLast();
    for (const QByteArray& line : out.raw) out.lines << decodeLine(line);
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
    // A line break would end the line early and start a section or key of its own.
    for (const QString* part : {&section, &key, &value})
        if (part->contains(QLatin1Char('\r')) || part->contains(QLatin1Char('\n'))) return false;
    const QString file = settingsFile(name);
    IniText ini;
    const bool existed = QFileInfo::exists(file);
    if (existed && !readIni(file, ini)) return false;
    if (!existed && !QFileInfo(QFileInfo(file).absolutePath()).isDir()) return false;

    const QString entry = key.trimmed() + QLatin1Char('=') + value;
    // A new or replaced line carries the file's own line end; so does a last
    // line that had none, now that lines may follow it.
    if (!ini.endsWithNewline && ini.crlf && !ini.raw.isEmpty() && !ini.raw.last().endsWith('\r')) ini.raw.last() += '\r';
    auto encoded = [&](const QString& line) { return ini.crlf ? line.toUtf8() + '\r' : line.toUtf8(); };
    qsizetype header = findSection(ini.lines, section);
    if (header < 0) {
        ini.raw << encoded(QLatin1Char('[') + section.trimmed() + QLatin1Char(']')) << encoded(entry);
    } else {
        const qsizetype end = sectionEnd(ini.lines, header);
        qsizetype at = -1;
        for (qsizetype i = header + 1; i < end; ++i) {
            const QString k = keyOf(ini.lines[i]);
            if (!k.isNull() && sameName(k, key)) { at = i; break; }
        }
        if (at >= 0) {
            ini.raw[at] = encoded(entry);
        } else {
            // After the section's last entry, before the blank lines that part it from the next.
            qsizetype ins = end;
            while (ins > header + 1 && ini.lines[ins - 1].trimmed().isEmpty()) --ins;
            ini.raw.insert(ins, encoded(entry));
        }
    }

    QByteArray bytes = ini.lead + ini.raw.join('\n');
    if (!ini.raw.isEmpty()) bytes += '\n';
    // Write a whole new file and rename it into place, so a failure midway keeps the old settings.
    // A write that does not take every byte (a full disk) is abandoned, never committed.
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (f.write(bytes) != bytes.size() || !f.flush()) {
        f.cancelWriting();   // the temporary file goes with f
        return false;
    }
    return f.commit();
}

} // namespace profile
