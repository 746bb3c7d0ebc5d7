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
    if (all.startsWith(QChar(0xFEFF)))
        all = all.mid(1);
    const auto lines = all.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringView raw = lines[i];
        if (raw.endsWith(QLatin1Char('\r')))
            raw.chop(1);
        // The newline that ends the last line does not open another one.
        if (i == lines.size() - 1 && raw.isEmpty())
            break;
        Line line;
        const QStringView t = raw.trimmed();
        const qsizetype eq = raw.indexOf(QLatin1Char('='));
        if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'))) {
            line.kind = Line::Kind::Section;
            line.name = t.mid(1, t.size() - 2).trimmed().toString();
        } else if (eq > 0 && !t.startsWith(QLatin1Char(';')) && !t.startsWith(QLatin1Char('#')) &&
                   !raw.left(eq).trimmed().isEmpty()) {
            line.kind = Line::Kind::Entry;
            line.name = raw.left(eq).trimmed().toString();
            line.value = raw.mid(eq + 1).toString();
        } else {
            line.text = raw.toString();
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
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes); // a file written by an older ANSI program
    *this = fromText(text);
    return true;
}

QString IniFile::toText() const {
    QString out;
    for (const Line& l : m_lines) {
        switch (l.kind) {
        case Line::Kind::Section:
            out += QLatin1Char('[') + l.name + QLatin1Char(']');
            break;
        case Line::Kind::Entry:
            out += l.name + QLatin1Char('=') + l.value;
            break;
        case Line::Kind::Other:
            out += l.text;
            break;
        }
        out += QLatin1Char('\n');
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
            l.value = oneLine(value);
            return;
        }
    }
    Line entry;
    entry.kind = Line::Kind::Entry;
    entry.name = key.toString();
    entry.value = oneLine(value);
    const int header = sectionIndex(section);
    if (header < 0) {
        Line head;
        head.kind = Line::Kind::Section;
        head.name = section.toString();
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
