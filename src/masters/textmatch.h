#pragma once

#include <QString>

namespace masters {

// Pattern matching of the "Like" kind, without regard to case: "*" stands
// for any run of characters, "?" for any one character, "#" for one digit,
// "[abc]", "[a-z]" for one character of a set and "[!abc]" for one outside
// it. The whole text must match. A malformed set matches nothing.
bool likeMatches(const QString& text, const QString& pattern);

// True when `text` begins with `start`, without regard to case (as the
// store's text keys compare).
bool startsWithText(const QString& text, const QString& start);

}  // namespace masters
