#pragma once

#include <QByteArray>
#include <QHash>
#include <optional>
#include <vector>

namespace tirvon::ini {

// The text of one INI file, held as its lines so that a change touches only the
// line it must: a key that exists is replaced where it stands, a new key follows
// the last line of its section that is not blank (after the comments that close
// the section, before the blank lines that part it from the next one), a new
// section goes to the end of the file. A line ends at CR LF, at LF alone or at CR
// alone. Section and key names compare without case; the first section and the
// first key of a name win. Values are bytes in code page 1251.
class IniDocument {
public:
    static constexpr qsizetype MaxValueLength = 2047;

    static IniDocument parse(const QByteArray& content);
    QByteArray serialize() const; // CR LF after every line

    // The value as a reader sees it: blanks around it removed, one pair of
    // enclosing quotes removed, cut to MaxValueLength bytes. Nothing when the
    // section or the key is absent.
    std::optional<QByteArray> value(const QByteArray& section, const QByteArray& key) const;
    bool hasSection(const QByteArray& section) const; // holds at least one key
    bool hasKey(const QByteArray& section, const QByteArray& key) const;

    // A value is cut at its first line break, so no value can add lines or
    // sections to the file. Names lose line breaks and the characters that
    // would end them ("=" in a key, "]" in a section), their outer blanks and,
    // for a key, an opening "[".
    void setValue(const QByteArray& section, const QByteArray& key, const QByteArray& value);
    void removeSection(const QByteArray& section);

    static QByteArray sectionName(const QByteArray& name);
    static QByteArray keyName(const QByteArray& name);

private:
    enum class Kind { Blank, Other, Section, Key };
    struct Line {
        QByteArray text;
        Kind kind = Kind::Other;
        QByteArray name; // lower case, for comparison
    };
    struct Section {
        qsizetype header = 0;
        qsizetype end = 0;       // one past its last line
        qsizetype lastText = -1; // its last line that is not blank, -1 when none
        QHash<QByteArray, qsizetype> keys;
    };

    static Line classify(QByteArray text);
    void reindex();
    const Section* find(const QByteArray& section) const;

    std::vector<Line> lines_;
    QHash<QByteArray, Section> sections_;
};

} // namespace tirvon::ini
