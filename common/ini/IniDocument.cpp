#include "ini/IniDocument.h"

#include "text/Cp1251.h"

namespace tirvon::ini {

using text::trimBlanks;

namespace {

QByteArray cutAtLineBreak(const QByteArray& value) {
    qsizetype end = 0;
    while (end < value.size() && value[end] != '\r' && value[end] != '\n')
        ++end;
    return value.left(end);
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// A name without the bytes that would end it, without its outer blanks and, for
// comparison, in lower case: one pass, one allocation, since every look-up
// makes two of them.
QByteArray normalised(const QByteArray& name, char terminator, bool lower) {
    QByteArray out;
    out.reserve(name.size());
    for (const char c : name) {
        if (c == '\r' || c == '\n' || c == terminator)
            continue;
        out.append(lower && c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c);
    }
    qsizetype b = 0, e = out.size();
    while (b < e && isBlank(out[b]))
        ++b;
    while (e > b && isBlank(out[e - 1]))
        --e;
    // A key may not open with "[": its line would read as a section header.
    while (terminator == '=' && b < e && out[b] == '[') {
        ++b;
        while (b < e && isBlank(out[b]))
            ++b;
    }
    if (b > 0 || e < out.size())
        out = out.mid(b, e - b);
    return out;
}

// A name as the index holds it: without its outer blanks, in lower case, made
// in one allocation.
QByteArray lowerName(QByteArrayView text) {
    qsizetype b = 0, e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    QByteArray out(e - b, Qt::Uninitialized);
    char* to = out.data();
    for (qsizetype i = b; i < e; ++i)
        *to++ = text[i] >= 'A' && text[i] <= 'Z' ? char(text[i] - 'A' + 'a') : text[i];
    return out;
}

} // namespace

QByteArray IniDocument::sectionName(const QByteArray& name) {
    return normalised(name, ']', false);
}

QByteArray IniDocument::keyName(const QByteArray& name) {
    return normalised(name, '=', false);
}

IniDocument::Line IniDocument::classify(QByteArray text) {
    Line line;
    const QByteArrayView view(text);
    qsizetype first = 0;
    while (first < view.size() && isBlank(view[first]))
        ++first;
    if (first == view.size()) {
        line.kind = Kind::Blank;
    } else if (view[first] == '[') {
        // Blanks after the closing bracket end the line, so it is the first one.
        if (const qsizetype close = text.indexOf(']', first); close > 0) {
            line.kind = Kind::Section;
            line.name = lowerName(view.sliced(first + 1, close - first - 1));
        }
    } else if (const qsizetype eq = text.indexOf('='); eq >= 0) {
        line.kind = Kind::Key;
        line.name = lowerName(view.first(eq));
    }
    line.text = std::move(text);
    return line;
}

IniDocument IniDocument::parse(const QByteArray& content) {
    IniDocument doc;
    const qsizetype size = content.size();
    doc.lines_.reserve(size_t(content.count('\n')) + 1);
    qsizetype start = 0;
    while (start < size) {
        // CR LF, LF alone and CR alone each end a line, so a file saved by any
        // editor reads line by line and no line keeps a break inside it.
        qsizetype end = start;
        while (end < size && content[end] != '\r' && content[end] != '\n')
            ++end;
        doc.lines_.push_back(classify(content.mid(start, end - start)));
        start = end + (end + 1 < size && content[end] == '\r' && content[end + 1] == '\n' ? 2 : 1);
    }
    doc.reindex();
    return doc;
}

QByteArray IniDocument::serialize() const {
    QByteArray out;
    qsizetype size = 0;
    for (const Line& line : lines_)
        size += line.text.size() + 2;
    out.reserve(size);
    for (const Line& line : lines_) {
        out += line.text;
        out += "\r\n";
    }
    return out;
}

void IniDocument::reindex() {
    sections_.clear();
    Section* current = nullptr;
    for (qsizetype i = 0; i < qsizetype(lines_.size()); ++i) {
        const Line& line = lines_[i];
        if (line.kind == Kind::Section) {
            if (current)
                current->end = i;
            // A repeated section header opens a part that readers never see.
            // (One look-up each: a name is new when the index grows.)
            const qsizetype known = sections_.size();
            current = &sections_[line.name];
            if (sections_.size() == known)
                current = nullptr;
            else
                current->header = i;
        } else if (current && line.kind != Kind::Blank) {
            if (line.kind == Kind::Key) {
                const qsizetype known = current->keys.size();
                qsizetype& at = current->keys[line.name];
                if (current->keys.size() > known)
                    at = i;
            }
            current->lastText = i;
        }
    }
    if (current)
        current->end = qsizetype(lines_.size());
}

const IniDocument::Section* IniDocument::find(const QByteArray& section) const {
    const auto it = sections_.constFind(normalised(section, ']', true));
    return it == sections_.cend() ? nullptr : &it.value();
}

std::optional<QByteArray> IniDocument::value(const QByteArray& section,
                                             const QByteArray& key) const {
    const Section* s = find(section);
    if (!s)
        return std::nullopt;
    const auto it = s->keys.constFind(normalised(key, '=', true));
    if (it == s->keys.cend())
        return std::nullopt;
    const QByteArray& text = lines_[it.value()].text;
    QByteArray v = trimBlanks(text.mid(text.indexOf('=') + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    if (v.size() > MaxValueLength)
        v.truncate(MaxValueLength);
    return v;
}

bool IniDocument::hasSection(const QByteArray& section) const {
    const Section* s = find(section);
    return s && !s->keys.isEmpty();
}

bool IniDocument::hasKey(const QByteArray& section, const QByteArray& key) const {
    const Section* s = find(section);
    return s && s->keys.contains(normalised(key, '=', true));
}

void IniDocument::setValue(const QByteArray& section, const QByteArray& key,
                           const QByteArray& value) {
    const QByteArray sname = sectionName(section);
    const QByteArray kname = keyName(key);
    if (sname.isEmpty() || kname.isEmpty())
        return;
    const QByteArray v = cutAtLineBreak(value);
    const auto found = sections_.find(normalised(sname, ']', true));
    if (found == sections_.end()) {
        // A new section goes to the end: no line before it moves.
        const qsizetype header = qsizetype(lines_.size());
        lines_.push_back(classify("[" + sname + "]"));
        Line keyLine = classify(kname + "=" + v);
        Section& added = sections_[lines_.back().name];
        added.header = header;
        added.end = header + 2;
        added.lastText = header + 1;
        added.keys.insert(keyLine.name, header + 1);
        lines_.push_back(std::move(keyLine));
        return;
    }
    Section& s = found.value();
    if (const auto it = s.keys.constFind(kname.toLower()); it != s.keys.cend()) {
        Line& line = lines_[it.value()];
        line.text = line.text.left(line.text.indexOf('=') + 1) + v;
        return; // names unchanged: the index still holds
    }
    // Comments that close the section stay above the new key; blank lines
    // stay between it and the next section.
    const qsizetype at = (s.lastText >= 0 ? s.lastText : s.header) + 1;
    Line keyLine = classify(kname + "=" + v);
    // Every line from the new one on moves down by one: so do the indexes of
    // the sections that follow this one (and of any repeated part, which is
    // not indexed).
    for (Section& other : sections_) {
        if (&other == &s || other.header < at)
            continue;
        ++other.header;
        ++other.end;
        if (other.lastText >= at)
            ++other.lastText;
        for (qsizetype& line : other.keys)
            ++line;
    }
    s.keys.insert(keyLine.name, at);
    s.lastText = at;
    ++s.end;
    lines_.insert(lines_.begin() + at, std::move(keyLine));
}

void IniDocument::removeSection(const QByteArray& section) {
    const Section* s = find(section);
    if (!s)
        return;
    lines_.erase(lines_.begin() + s->header, lines_.begin() + s->end);
    reindex();
}

} // namespace tirvon::ini
