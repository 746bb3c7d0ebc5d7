#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace kw {

/**
 * The settings file in the common INI layout: "[Section]" lines and "key=value" lines, UTF-8.
 * Our own reader/writer rather than QSettings: QSettings quotes and escapes values, so text with
 * commas, quotes, backslashes, "=" or non-ASCII letters would not round-trip for other INI readers.
 *
 * The file is kept as its lines, so that unknown keys, comments and their order survive a save.
 * Section and key names compare without regard to letter case; the first match wins.
 */
class IniFile {
public:
    /**
     * Parses INI text (a leading byte-order mark and CR LF line ends are accepted). Text that is
     * not changed is written back by toText() exactly as it came: fromText(t).toText() == t.
     */
    static IniFile fromText(const QString& text);

    /**
     * Reads a file. A missing file gives an empty document and true; a file that exists but
     * cannot be read gives false and the reason. Bytes that are not UTF-8 are read as Latin-1.
     */
    bool load(const QString& path, QString* error = nullptr);

    /** Writes the document through a temporary file, so that a failed write never truncates the old one. */
    bool save(const QString& path, QString* error = nullptr) const;

    QString toText() const;

    /** The value of a key: the rest of the line after "=", unchanged; nothing when absent. */
    std::optional<QString> value(QStringView section, QStringView key) const;
    bool hasSection(QStringView section) const;
    /** Number of entries in the section (all sections of that name). */
    int keyCount(QStringView section) const;

    /**
     * Replaces the value of an existing key in place, or adds the key at the end of its section
     * (the section is added at the end of the file when missing). Line breaks in the value are
     * written as blanks, because a value has to stay on its one line.
     */
    void setValue(QStringView section, QStringView key, const QString& value);
    /** Removes every section of that name with all its lines. */
    void removeSection(QStringView section);

private:
    // Every line is written back as it was read unless its value changes: the text before "="
    // (or the whole line), the value and the line end are kept as they are.
    struct Line {
        enum class Kind { Section, Entry, Other } kind = Kind::Other;
        QString text;  // the whole line; for an Entry the key as written, up to "="
        QString name;  // section name (Section) or key (Entry), trimmed
        QString value; // Entry only: everything after the first "="
        QString eol;   // "\n", "\r\n", or empty for a last line without a line break
    };
    /** Index of the header of the first section of that name, or -1. */
    int sectionIndex(QStringView section) const;

    std::vector<Line> m_lines;
    bool m_bom = false;
    QString m_eol = QStringLiteral("\n"); // the line end of new lines
};

} // namespace kw
