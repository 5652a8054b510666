#pragma once

#include <QString>
#include <optional>

// The number boxes of the query screen that hold a count (a number of days
// or the N of a ranking) rather than a free number such as a percentage, and
// the one reader that turns their text into that count.
namespace query {

// A count box of one query: the caption it shows and the counts it allows.
struct CountBox {
    QString caption;
    bool days = true;    // a number of days; otherwise the N of a ranking
    int minimum = 1;
    int maximum = 32767;
};

// The count boxes of one query; a box that is hidden or holds a percentage
// has none.
struct CountBoxes {
    std::optional<CountBox> first;
    std::optional<CountBox> second;
    // The two counts together may not pass this (0: no joint limit); the
    // second box's maximum shrinks by the first count.
    int jointMaximum = 0;
};

// The most days an N-day scan keeps per scrip.
inline constexpr int kMaxScanDays = 30;

// Which of the query's number boxes hold counts, with the captions the
// parameter set-up gives them.
CountBoxes countBoxes(int group, const QString& label);

// The count in `text`: a whole number, written with or without a decimal
// point followed by zeros ("3", "3.0"), within the box's range. Anything
// else ("", "abc", "2.5", a number outside the range) is refused with
// countRefusal(box).
int readCount(const QString& text, const CountBox& box);

// "Enter a whole number of days from 1 to 30 in "No Of Days"." and the like.
QString countRefusal(const CountBox& box);

// The count box of a query whose screen hides the second date and asks for
// a number of days instead: the N trading days ending with the first date.
// The start of that window is the query's second date.
enum class WindowBox { None, First, Second };
WindowBox windowBox(int group, const QString& label);

}  // namespace query
