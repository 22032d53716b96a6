#include "data/DataIndexes.h"
#include <map>
#include <memory>
#include <QStringList>
#include "SchemaIndexes.h"
#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "fso/FileSystem.h"

namespace {

// Two definitions are the same one whatever their spacing and case.
QString Normal(const QString& sql) {
    QString out;
    for (const QChar c : sql)
        if (!c.isSpace() && c != QLatin1Char(';')) out += c.toLower();
    return out;
}

// "ix_Name" of "CREATE INDEX ix_Name ON ...".
QString IndexName(const QString& create) {
    const QStringList words = create.simplified().split(QLatin1Char(' '));
    return words.size() > 2 ? words[2] : QString();
}

} // namespace

int DataIndexes::Update(const QString& path, const std::function<void()>& working) {
    try {
        auto cn = std::make_shared<ado::Connection>();
        cn->OpenFile(fso::ResolvePath(path));
        std::map<QString, QString> have;   // index name -> its definition, lower case
        {
            ado::Recordset rs;
            rs.Open(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL"), cn);
            for (; !rs.Eof(); rs.MoveNext())
                have[rs.Fields("name").Value().str().toLower()] = Normal(rs.Fields("sql").Value().str());
            rs.Close();
        }
        QStringList stale;
        for (const QString& create : QString::fromUtf8(kSchemaIndexes).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (create.trimmed().isEmpty()) continue;
            const auto h = have.find(IndexName(create).toLower());
            if (h == have.end() || h->second != Normal(create)) stale << create.trimmed();
        }
        if (stale.isEmpty() || cn->IsReadOnly()) {
            cn->Close();
            return stale.isEmpty() ? 0 : -1;
        }
        if (working) working();
        {
            ado::Transaction t(*cn);
            for (const QString& create : stale) {
                cn->Execute(QStringLiteral("DROP INDEX IF EXISTS ") + IndexName(create));
                cn->Execute(create);
            }
            t.Commit();
        }
        cn->Close();
        return int(stale.size());
    } catch (...) {
        return -1;
    }
}
