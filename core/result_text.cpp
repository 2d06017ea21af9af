// The text of the result box.
#include "core/result_text.h"

#include "base/texts.h"
#include "base/textutil.h"

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

void FormatHistoryCounts(char *text, size_t size, int32_t considered, int32_t unchanged, int32_t changed,
                         int32_t notInHistory, int32_t unreadable)
{
    static const struct {
        int OneId;
        bool Always;
    } parts[] = {
        { TEXT_HISTORY_UNCHANGED_ONE, true },
        { TEXT_HISTORY_CHANGED_ONE, true },
        { TEXT_HISTORY_ABSENT_ONE, true },
        { TEXT_HISTORY_UNREADABLE_ONE, false },
    };
    const int32_t counts[] = { unchanged, changed, notInHistory, unreadable };
    if (size == 0)
        return;
    text[0] = '\0';
    char part[128];
    snprintf(part, sizeof part, CountText(TEXT_HISTORY_CHECKED_ONE, considered), considered);
    AppendText(text, size, part);
    for (size_t i = 0; i < sizeof parts / sizeof parts[0]; i++) {
        if (!parts[i].Always && counts[i] == 0)
            continue;
        snprintf(part, sizeof part, CountText(parts[i].OneId, counts[i]), counts[i]);
        AppendText(text, size, part);
    }
}
