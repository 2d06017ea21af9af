// The two size texts of a list row: exact bytes grouped by three, and a
// rounded size with a unit.
#ifndef ZUNTA_SIZETEXT_H
#define ZUNTA_SIZETEXT_H

#include <stddef.h>
#include <stdint.h>

// Large enough for both texts of any 64-bit size.
enum { SIZE_TEXT_SIZE = 32 };

// "18 446 744 073 709 551 615": decimal digits grouped by three from the
// right with single spaces. Returns 0, or -1 (empty text) when it does not fit.
int FormatGroupedSize(char *text, size_t size, uint64_t value);
// Rewrites a grouped size text in place as "1.50 KB", "4.66 GB", "999"...
// (units of 1024 chosen by the count of decimal digits; French units for
// the French language). Returns the unit step 0 to 3, or -1 for no text or a
// buffer too small.
int FormatUnitSize(char *text, size_t size, uint16_t languageId);

#endif
