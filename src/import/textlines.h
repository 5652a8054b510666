#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <string_view>

// Reading the plain-text exchange files (bhavcopy, NNF security file): the
// file is read whole and walked line by line.
namespace import {

// Reads the regular file at `path` whole into `content` (see
// store::openRegularFile). Returns false and a message for the user naming
// the file when it cannot be opened or read.
bool readWholeFile(const QString& path, QByteArray& content, QString& error);

// The lines of a text held in memory; a line ends at "\n" or "\r\n".
class TextLines {
public:
    explicit TextLines(const QByteArray& content);

    bool atEnd() const { return m_pos == m_end; }
    // The number of the line `next` returned last, counting from 1.
    qint64 lineNumber() const { return m_line; }
    // The next line without its line end.
    std::string_view next();
    // Whether only line ends and blanks are left.
    bool onlyBlankLeft() const;

    // The progress scale of a file: its line ends plus one.
    static qint64 progressMaximum(const QByteArray& content) { return content.count('\n') + 1; }

private:
    const char* m_pos;
    const char* m_end;
    qint64 m_line = 0;
};

// How far an import is: lines done, and the scale (the file's line ends plus
// one).
using ImportProgress = std::function<void(qint64 done, qint64 maximum)>;

// Passes progress on whenever the whole percentage changes, so that a screen
// repaints its bar about a hundred times per file, not once per line.
class ProgressSteps {
public:
    ProgressSteps(const ImportProgress& progress, qint64 maximum) : m_progress(progress), m_maximum(maximum) {}

    void report(qint64 done, bool force = false);

private:
    const ImportProgress& m_progress;
    qint64 m_maximum;
    qint64 m_lastPercent = -1;
};

// Whether `text` holds a control character (a NUL, a line end, ...), which
// no symbol, code or name can hold: a NUL would end the text for every query.
bool holdsControlCharacter(std::string_view text);
bool holdsControlCharacter(QStringView text);

// The characters of a file's value that a message quotes at most.
inline constexpr qsizetype kShownValueLength = 60;

// A value read from a file as a message quotes it: its first
// kShownValueLength characters, then "…" when it is longer, written as
// store::shownText writes it. A value of millions of characters would
// otherwise make a message box taller than the screen.
QString shownValue(QStringView value);

// `text` without the blanks and tabs around it.
std::string_view trimmedView(std::string_view text);
// The bytes of a file field as text, without blanks around it: UTF-8 when
// they are valid UTF-8 (plain ASCII is), else Latin-1.
QString fieldText(std::string_view field);

// "1 repeated line was skipped." or "N repeated lines were skipped.", for a
// file whose repeated lines were stored once; "" when none was repeated.
QString repeatedLinesNote(qint64 count);

}  // namespace import
