// The two size texts of a list row.
#include "base/sizetext.h"

#include "base/texts.h"
#include "base/textutil.h"

#include <inttypes.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int FormatGroupedSize(char *text, size_t size, uint64_t value)
{
    char grouped[SIZE_TEXT_SIZE];
    snprintf(grouped, sizeof grouped, "%" PRIu64, value);
    for (size_t k = 1; k <= 6 && strlen(grouped) >= 4 * k; k++) {
        size_t length = strlen(grouped);
        size_t at = length - (4 * k - 1);
        memmove(grouped + at + 1, grouped + at, length - at + 1);
        grouped[at] = ' ';
    }
    if (CopyText(text, size, grouped) != 0) {
        if (size > 0)
            text[0] = '\0';
        return -1;
    }
    return 0;
}

int FormatUnitSize(char *text, size_t size, uint16_t languageId)
{
    if (text == nullptr || size == 0)
        return -1;
    char digits[SIZE_TEXT_SIZE];
    size_t n = 0;
    for (const char *p = text; *p && n + 1 < sizeof digits; p++)
        if (*p != ' ')
            digits[n++] = *p;
    digits[n] = '\0';

    double value = strtod(digits, nullptr);
    int unit = 0;
    if (n > 3) { unit = 1; value /= 1024; }
    if (n > 6) { unit = 2; value /= 1024; }
    if (n > 9) { unit = 3; value /= 1024; }

    // "%.0f" rather than an int conversion: whole values above 2^31 units
    // (sizes from 2 EiB up) would not fit an int.
    char result[SIZE_TEXT_SIZE];
    if (value == floor(value))
        snprintf(result, sizeof result, "%.0f%s", value, UnitSuffix(languageId, unit));
    else
        snprintf(result, sizeof result, "%.2f%s", value, UnitSuffix(languageId, unit));
    if (CopyText(text, size, result) != 0)
        return -1;
    return unit;
}
