// The number recogniser the parser uses in place of the library's own, which copies the
// whole rest of the expression into a string stream for every token it tries and so makes
// parsing quadratic in the length of the expression.
#pragma once

/// Reads the number at the start of `text` exactly as the library's recogniser does when
/// its separators are a decimal comma and a thousands full stop in groups of three: the
/// same texts accepted, the same characters consumed, the same bits. On success adds the
/// characters consumed (leading blanks included) to `*pos`, stores the number in `*value`
/// and returns 1; otherwise returns 0 and leaves both alone. A number that runs up to the
/// end of `text` is refused, as the library refuses it. Takes time linear in what it reads.
int readNumber(const char *text, int *pos, double *value);
