#include "store/profile.h"

#include "text/numbers.h"

#include <QFile>
#include <QSaveFile>
#include <QVector>

namespace store {

namespace {

struct Line {
    QByteArray content; // without the line end
    QByteArray eol;     // "\r\n", "\n", or empty for a last line without one
};

QVector<Line> splitLines(const QByteArray &data)
{
    QVector<Line> lines;
    qsizetype start = 0;
    while (start < data.size()) {
        const qsizetype nl = data.indexOf('\n', start);
        Line line;
        if (nl < 0) {
            line.content = data.mid(start);
            start = data.size();
        } else {
            line.content = data.mid(start, nl - start);
            line.eol = "\n";
            if (line.content.endsWith('\r')) {
                line.content.chop(1);
                line.eol = "\r\n";
            }
            start = nl + 1;
        }
        lines.append(line);
    }
    return lines;
}

// A line's text without surrounding blanks and without the byte order mark that some editors
// put at the start of a file.
QByteArray cleaned(const QByteArray &content)
{
    QByteArray t = content.trimmed();
    if (t.startsWith("\xEF\xBB\xBF"))
        t = t.mid(3).trimmed();
    return t;
}

// The section name of a "[name]" line; false for any other line.
bool sectionOf(const QByteArray &content, QString *name)
{
    const QByteArray t = cleaned(content);
    if (!t.startsWith('['))
        return false;
    qsizetype end = t.indexOf(']');
    if (end < 0)
        end = t.size();
    *name = QString::fromUtf8(t.mid(1, end - 1)).trimmed();
    return true;
}

// The key and value of a "key=value" line; false for blank lines, comments and other lines.
bool entryOf(const QByteArray &content, QString *key, QByteArray *value)
{
    const QByteArray t = cleaned(content);
    if (t.isEmpty() || t.startsWith(';') || t.startsWith('['))
        return false;
    const qsizetype eq = t.indexOf('=');
    if (eq < 0)
        return false;
    *key = QString::fromUtf8(t.left(eq)).trimmed();
    if (value)
        *value = t.mid(eq + 1).trimmed();
    return true;
}

bool same(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Index of the first "[section]" line, -1 when absent; *end gets the index after its last line.
int findSection(const QVector<Line> &lines, const QString &section, int *end)
{
    QString name;
    for (int i = 0; i < lines.size(); ++i) {
        if (!sectionOf(lines.at(i).content, &name) || !same(name, section))
            continue;
        int j = i + 1;
        while (j < lines.size() && !sectionOf(lines.at(j).content, &name))
            ++j;
        *end = j;
        return i;
    }
    *end = -1;
    return -1;
}

bool readFile(const QString &fileName, QByteArray *data, bool *exists)
{
    QFile f(fileName);
    *exists = f.exists();
    if (!*exists)
        return true;
    if (!f.open(QIODevice::ReadOnly))
        return false;
    *data = f.readAll();
    return true;
}

bool hasLineBreak(const QString &s)
{
    return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r'));
}

} // namespace

Profile::Profile(QString fileName) : m_fileName(std::move(fileName)) {}

QString Profile::read(const QString &section, const QString &key, const QString &defaultValue) const
{
    QByteArray data;
    bool exists = false;
    QString result = defaultValue;
    if (readFile(m_fileName, &data, &exists) && exists) {
        const QVector<Line> lines = splitLines(data);
        int end = -1;
        const int start = findSection(lines, section, &end);
        for (int i = start + 1; start >= 0 && i < end; ++i) {
            QString k;
            QByteArray v;
            if (entryOf(lines.at(i).content, &k, &v) && same(k, key.trimmed())) {
                // A value in matching quotes is given without them.
                if (v.size() >= 2 && (v.startsWith('"') || v.startsWith('\''))
                    && v.endsWith(v.at(0)))
                    v = v.mid(1, v.size() - 2);
                result = QString::fromUtf8(v);
                break;
            }
        }
    }
    return result.left(kMaxValueLength);
}

bool Profile::write(const QString &section, const QString &key, const QString &value) const
{
    const QString s = section.trimmed();
    const QString k = key.trimmed();
    if (s.isEmpty() || k.isEmpty() || hasLineBreak(s) || hasLineBreak(k) || hasLineBreak(value)
        || s.contains(QLatin1Char(']')) || k.contains(QLatin1Char('='))
        || k.startsWith(QLatin1Char('[')) || k.startsWith(QLatin1Char(';')))
        return false;

    QByteArray data;
    bool exists = false;
    if (!readFile(m_fileName, &data, &exists))
        return false;
    QVector<Line> lines = splitLines(data);
    QByteArray eol = "\n";
    for (const Line &l : lines) {
        if (!l.eol.isEmpty()) {
            eol = l.eol;
            break;
        }
    }
    const QByteArray newEntry = k.toUtf8() + '=' + value.toUtf8();

    int end = -1;
    const int start = findSection(lines, s, &end);
    if (start >= 0) {
        int keyLine = -1;
        int lastFilled = start;
        for (int i = start + 1; i < end; ++i) {
            QString found;
            if (entryOf(lines.at(i).content, &found, nullptr) && same(found, k)) {
                keyLine = i;
                break;
            }
            if (!lines.at(i).content.trimmed().isEmpty())
                lastFilled = i;
        }
        if (keyLine >= 0) {
            // The key keeps its spelling in the file; only its value changes.
            const QByteArray content = cleaned(lines.at(keyLine).content);
            lines[keyLine].content = content.left(content.indexOf('=')).trimmed() + '='
                                     + value.toUtf8();
        } else {
            if (lines.at(lastFilled).eol.isEmpty())
                lines[lastFilled].eol = eol;
            lines.insert(lastFilled + 1, Line{newEntry, eol});
        }
    } else {
        if (!lines.isEmpty() && lines.constLast().eol.isEmpty())
            lines.last().eol = eol;
        lines.append(Line{'[' + s.toUtf8() + ']', eol});
        lines.append(Line{newEntry, eol});
    }

    QByteArray out;
    out.reserve(data.size() + newEntry.size() + 16);
    for (const Line &l : lines)
        out += l.content + l.eol;
    // Written to a temporary file and renamed, so an interrupted write never loses the settings.
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(out);
    return file.commit();
}

double Profile::readNumber(const QString &section, const QString &key) const
{
    return text::leadingNumber(read(section, key));
}

bool Profile::writeNumber(const QString &section, const QString &key, double value) const
{
    return write(section, key, text::formatNumber(value));
}

} // namespace store
