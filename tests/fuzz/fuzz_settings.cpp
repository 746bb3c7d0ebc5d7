// The settings file: any text is written back unchanged where nothing changed, and what the
// program sets reads back as it was set.
#include "FuzzUtil.h"
#include "app/IniFile.h"

#include <QStringDecoder>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);

    kw::IniFile ini = kw::IniFile::fromText(text);
    kwfuzz::check(ini.toText() == text, "unchanged text is not written back as it was");

    // What a close does: the tips rebuilt, settings replaced in place; the values from the input.
    const QString value = text.left(40);
    QString kept = value;
    kept.replace(QLatin1String("\r\n"), QLatin1String(" "));
    kept.replace(u'\r', u' ');
    kept.replace(u'\n', u' ');
    ini.removeSection(u"Tipps");
    ini.setValue(u"Tipps", u"Anzahl", QStringLiteral("3"));
    ini.setValue(u"Tipps", u"S1_R0", value);
    const bool hadBesOft = ini.value(u"Einstellungen", u"BesOft").has_value();
    const auto oldBesOft = ini.value(u"Einstellungen", u"BesOft");
    ini.setValue(u"Einstellungen", u"BesOft", value);
    ini.setValue(u"Einstellungen", u"GlueckszahlEdit", QStringLiteral("a=b;c"));

    const kw::IniFile back = kw::IniFile::fromText(ini.toText());
    kwfuzz::check(back.toText() == ini.toText(), "a written file does not read back to itself");
    kwfuzz::check(back.value(u"Tipps", u"Anzahl") == QStringLiteral("3"), "the tips count is lost");
    kwfuzz::check(back.value(u"Tipps", u"S1_R0") == kept, "a tip cell does not read back");
    kwfuzz::check(back.keyCount(u"Tipps") == 2, "the rebuilt tips section holds other keys");
    // An unchanged value keeps its bytes; a changed one reads back with its line breaks as blanks.
    const QString besOft = hadBesOft && oldBesOft == value ? value : kept;
    kwfuzz::check(back.value(u"Einstellungen", u"BesOft") == besOft, "a setting does not read back");
    kwfuzz::check(back.value(u"Einstellungen", u"GlueckszahlEdit") == QStringLiteral("a=b;c"),
                  "a text setting does not read back");
    return 0;
}
