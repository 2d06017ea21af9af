// The order of the list's rows by a column. Texts are compared once folded
// as paths are (core/history.h): A-Z, and in UTF-8 the capitals of Latin-1,
// Latin Extended-A, Greek and Cyrillic, as small letters.
#include "core/rowsort.h"

#include "core/history.h"

#include <algorithm>
#include <stdlib.h>
#include <string.h>

static bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Names compared with their runs of digits taken as numbers: "file9" comes
// before "file10". A number written with more leading zeros comes first
// when the names are otherwise equal. The second byte of a two-byte
// character is never a digit (0x40 or above in every such code page).
static int CompareNames(const char *a, const char *b)
{
    int zeros = 0;
    while (*a != '\0' && *b != '\0') {
        if (!IsDigit(*a) || !IsDigit(*b)) {
            if (*a != *b)
                return (unsigned char)*a < (unsigned char)*b ? -1 : 1;
            a++;
            b++;
            continue;
        }
        const char *startA = a, *startB = b;
        while (*a == '0')
            a++;
        while (*b == '0')
            b++;
        const char *digitsA = a, *digitsB = b;
        while (IsDigit(*a))
            a++;
        while (IsDigit(*b))
            b++;
        if (a - digitsA != b - digitsB)
            return a - digitsA < b - digitsB ? -1 : 1;
        int digits = memcmp(digitsA, digitsB, (size_t)(a - digitsA));
        if (digits != 0)
            return digits;
        if (zeros == 0 && digitsA - startA != digitsB - startB)
            zeros = digitsA - startA > digitsB - startB ? -1 : 1;
    }
    if (*a != *b)
        return *a == '\0' ? -1 : 1;
    return zeros;
}

int RowSortOrder(const RowSortKey *keys, int32_t count, int kind, bool descending, int32_t *order)
{
    if (count <= 0)
        return 0;
    // Each text folded, with its terminator, in one block.
    char **folded = nullptr;
    char *pool = nullptr;
    if (kind != ROW_SORT_SIZE) {
        size_t total = 0;
        for (int32_t i = 0; i < count; i++)
            total += (keys[i].Text ? strlen(keys[i].Text) : 0) + 1;
        folded = (char **)malloc((size_t)count * sizeof *folded);
        pool = (char *)malloc(total);
        if (folded == nullptr || pool == nullptr) {
            free(folded);
            free(pool);
            return -1;
        }
        char *at = pool;
        for (int32_t i = 0; i < count; i++) {
            size_t length = keys[i].Text ? strlen(keys[i].Text) : 0;
            HistoryFoldPath(keys[i].Text ? keys[i].Text : "", length, at);
            at[length] = '\0';
            folded[i] = at;
            at += length + 1;
        }
    }

    for (int32_t i = 0; i < count; i++)
        order[i] = i;
    std::sort(order, order + count, [&](int32_t a, int32_t b) {
        int by = 0;
        if (kind == ROW_SORT_SIZE) {
            if (keys[a].HasSize != keys[b].HasSize)
                return keys[a].HasSize;
            by = keys[a].Size == keys[b].Size ? 0 : keys[a].Size < keys[b].Size ? -1 : 1;
        } else {
            by = kind == ROW_SORT_NAME ? CompareNames(folded[a], folded[b]) : strcmp(folded[a], folded[b]);
        }
        if (by != 0)
            return descending ? by > 0 : by < 0;
        return a < b;
    });
    free(folded);
    free(pool);
    return 0;
}
