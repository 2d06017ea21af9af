// The text of the result box.
#include "core/result_text.h"

#include "base/texts.h"

#include <stdio.h>

size_t FormatResultText(char *text, size_t size, const char *path, const char *crcText,
                        const char *md5Text)
{
    int length;
    if (crcText && md5Text)
        length = snprintf(text, size, LanguageStrings[TEXT_RESULT_CRC_MD5], path, crcText, md5Text);
    else if (crcText)
        length = snprintf(text, size, LanguageStrings[TEXT_RESULT_CRC], path, crcText);
    else if (md5Text)
        length = snprintf(text, size, LanguageStrings[TEXT_RESULT_MD5], path, md5Text);
    else
        length = snprintf(text, size, "%s", path);
    return length < 0 ? 0 : (size_t)length;
}
