// The mnemonic of a menu item's or a control's text, for the tests of both
// the tables and the dialogs.
#ifndef ZUNTA_TEST_MNEMONIC_H
#define ZUNTA_TEST_MNEMONIC_H

#include <ctype.h>

// The character after a single '&' ("&&" is a literal ampersand), in lower
// case; 0 when the text has none.
inline char TextMnemonic(const char *text)
{
    for (const char *p = text; *p; p++) {
        if (*p != '&')
            continue;
        if (p[1] != '&')
            return (char)tolower((unsigned char)p[1]);
        p++;
    }
    return 0;
}

#endif
