#include "app/IniFile.h"

#include "app/SafeSave.h"

#include <QFile>
#include <QStringDecoder>

namespace kw {

namespace {

bool sameName(QStringView a, QStringView b) {
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

QString oneLine(const QString& value) {
    QString v = value;
    v.replace(QLatin1String("\r\n"), QLatin1String(" "));
    v.replace(QLatin1Char('\r'), QLatin1Char(' '));
    v.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return v;
}

} // namespace

IniFile IniFile::fromText(const QString& text) {
    IniFile ini;
    QStringView all(text);
    if (all.startsWith(QChar(0xFEFF))) {
        ini.m_bom = true;
        all = all.mid(1);
    }
    const auto lines = all.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringView raw = lines[i];
        const bool last = i == lines.size() - 1;
        // The newline that ends the last line does not open another one.
        if (last && raw.isEmpty())
            break;
        Line line;
        // Only the one CR before the LF belongs to the line end; any other CR is the line's own.
        if (last)
            line.eol.clear();
        else if (raw.endsWith(QLatin1Char('\r'))) {
            raw.chop(1);
            line.eol = QStringLiteral("\r\n");
        } else
            line.eol = QStringLiteral("\n");
        if (ini.m_lines.empty() && !line.eol.isEmpty())
            ini.m_eol = line.eol; // new lines end like the file's first one
        line.text = raw.toString();
        const QStringView t = raw.trimmed();
        const qsizetype eq = raw.indexOf(QLatin1Char('='));
        if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'))) {
            line.kind = Line::Kind::Section;
            line.name = t.mid(1, t.size() - 2).trimmed().toString();
        } else if (eq > 0 && !t.startsWith(QLatin1Char(';')) && !t.startsWith(QLatin1Char('#')) &&
                   !raw.left(eq).trimmed().isEmpty()) {
            line.kind = Line::Kind::Entry;
            line.name = raw.left(eq).trimmed().toString();
            line.text = raw.left(eq).toString(); // the key as written, blanks and letter case kept
            line.value = raw.mid(eq + 1).toString();
        }
        ini.m_lines.push_back(std::move(line));
    }
    return ini;
}

bool IniFile::load(const QString& path, QString* error) {
    QFile file(path);
    if (!file.exists()) {
        m_lines.clear();
        return true;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom); // fromText keeps it
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes); // a file written by an older ANSI program
    *this = fromText(text);
    return true;
}

QString IniFile::toText() const {
    QString out;
    if (m_bom)
        out += QChar(0xFEFF);
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const Line& l = m_lines[i];
        out += l.text;
        if (l.kind == Line::Kind::Entry)
            out += QLatin1Char('=') + l.value;
        // A last line without a line break gets one when lines follow it now.
        out += l.eol.isEmpty() && i + 1 < m_lines.size() ? m_eol : l.eol;
    }
    return out;
}

bool IniFile::save(const QString& path, QString* error) const {
    return saveFileAtomically(path, toText().toUtf8(), error);
}

int IniFile::sectionIndex(QStringView section) const {
    for (size_t i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].kind == Line::Kind::Section && sameName(m_lines[i].name, section))
            return int(i);
    return -1;
}

std::optional<QString> IniFile::value(QStringView section, QStringView key) const {
    QString current;
    for (const Line& l : m_lines) {
        if (l.kind == Line::Kind::Section)
            current = l.name;
        else if (l.kind == Line::Kind::Entry && sameName(current, section) && sameName(l.name, key))
            return l.value;
    }
    return std::nullopt;
}

bool IniFile::hasSection(QStringView section) const {
    return sectionIndex(section) >= 0;
}

int IniFile::keyCount(QStringView section) const {
    int n = 0;
    QString current;
    for (const Line& l : m_lines) {
        if (l.kind == Line::Kind::Section)
            current = l.name;
        else if (l.kind == Line::Kind::Entry && sameName(current, section))
            ++n;
    }
    return n;
}

void IniFile::setValue(QStringView section, QStringView key, const QString& value) {
    QString current;
    for (Line& l : m_lines) {
        if (l.kind == Line::Kind::Section)
            current = l.name;
        else if (l.kind == Line::Kind::Entry && sameName(current, section) && sameName(l.name, key)) {
            // An unchanged value keeps its bytes, even characters a new value may not hold.
            if (l.value != value)
                l.value = oneLine(value);
            return;
        }
    }
    Line entry;
    entry.kind = Line::Kind::Entry;
    entry.name = key.toString();
    entry.text = entry.name;
    entry.value = oneLine(value);
    entry.eol = m_eol;
    const int header = sectionIndex(section);
    if (header < 0) {
        Line head;
        head.kind = Line::Kind::Section;
        head.name = section.toString();
        head.text = QLatin1Char('[') + head.name + QLatin1Char(']');
        head.eol = m_eol;
        m_lines.push_back(std::move(head));
        m_lines.push_back(std::move(entry));
        return;
    }
    // After the last entry of the section, so that blank lines and comments below it stay below.
    size_t at = size_t(header) + 1;
    for (size_t i = at; i < m_lines.size() && m_lines[i].kind != Line::Kind::Section; ++i)
        if (m_lines[i].kind == Line::Kind::Entry)
            at = i + 1;
    m_lines.insert(m_lines.begin() + qsizetype(at), std::move(entry));
}

void IniFile::removeSection(QStringView section) {
    std::vector<Line> kept;
    kept.reserve(m_lines.size());
    bool inside = false;
    for (Line& l : m_lines) {
        if (l.kind == Line::Kind::Section)
            inside = sameName(l.name, section);
        if (!inside)
            kept.push_back(std::move(l));
    }
    m_lines = std::move(kept);
}

} // namespace kw
