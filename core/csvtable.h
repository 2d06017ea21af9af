// Lines of a comma-separated table (RFC 4180), as spreadsheets read them.
#ifndef ZUNTA_CSVTABLE_H
#define ZUNTA_CSVTABLE_H

// One line: the fields comma-separated, each in quotes (its quotes doubled)
// when it holds a comma, a quote, a CR or an LF, or begins or ends with a
// blank (which some readers drop from a bare field); then CR LF. A heap
// text, or null when memory ran out.
char *FormatCsvLine(const char *const *fields, int count);

#endif
