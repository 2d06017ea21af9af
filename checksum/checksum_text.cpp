// Text forms of the checksums. Lower-casing is the last step, so a text keeps
// the case that was in force when it was made.
#include "checksum/checksum_text.h"

#include <stdio.h>

static void LowerHexDigits(char *text)
{
    for (; *text; text++)
        if (*text >= 'A' && *text <= 'F')
            *text = (char)(*text - 'A' + 'a');
}

void FormatCrc32Text(uint32_t value, int lower, char out[CRC32_TEXT_SIZE])
{
    snprintf(out, CRC32_TEXT_SIZE, "%08X", (unsigned)value);
    if (lower == 1)
        LowerHexDigits(out);
}

void FormatMd5Text(const unsigned char digest[16], int lower, char out[MD5_TEXT_SIZE])
{
    FormatDigestText(digest, 16, lower, out, MD5_TEXT_SIZE);
}

int FormatDigestText(const unsigned char *digest, size_t length, int lower, char *out, size_t size)
{
    if (size == 0)
        return -1;
    out[0] = '\0';
    if (length > (size - 1) / 2)
        return -1;
    for (size_t i = 0; i < length; i++)
        snprintf(out + 2 * i, 3, "%02X", digest[i]);
    if (lower == 1)
        LowerHexDigits(out);
    return 0;
}
