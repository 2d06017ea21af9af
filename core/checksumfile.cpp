// Checksum files and checksums as text. A line is looked at where it lies in
// the caller's text, as a pointer and a length, and only its name is copied:
// a file of any size is read in one pass.
#include "core/checksumfile.h"

#include "base/lang.h"
#include "base/texts.h"
#include "base/textutil.h"
#include "checksum/hashjob.h"
#include "core/filelist.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static_assert((int)MASK_CRC32 == (int)HAS_CRC32 && (int)MASK_MD5 == (int)HAS_MD5,
              "a kind of checksum is a flag of the list's entries");

enum {
    CRC32_DIGITS = 8,
    SAVE_SUMMARY_SIZE = 512,
    SUMMARY_FIXED_ROOM = 1024,  // a verification summary's texts and numbers, names apart
};

// ---- Kinds of checksum ----

size_t ChecksumDigits(int kind)
{
    int index = KindOfMask(kind);
    return index < 0 ? 0 : ChecksumKinds[index].Digits;
}

// Formats beyond a file's: digits copied alone, where 32 may be MD5 or XXH128.
enum { FORMAT_COPIED = -1 };

// The kind whose checksums have count digits in a file of format, and in
// *alternative the other kind they may be (ANY and copied digits only, else
// 0); 0 for none. CRC32 is a kind of SFV lines only: whoever wants it asks
// for it. In ANY, 32 digits stay MD5 alone: a list of MD5s costs nothing more.
static int SumKindOfDigits(size_t count, int format, int *alternative)
{
    static const struct {
        size_t Digits;
        int Kind, Alternative, Copied;  // in ANY; the alternative of copied digits
        int B3, Xxh, Xxh64;             // in B3, XXH3 and XXH128, XXH64
    } kinds[] = {
        { 16, MASK_XXH3, MASK_XXH64, MASK_XXH64, 0, MASK_XXH3, MASK_XXH64 },
        { 32, MASK_MD5, 0, MASK_XXH128, MASK_MD5, MASK_XXH128, MASK_XXH128 },
        { 40, MASK_SHA1, 0, 0, MASK_SHA1, 0, 0 },
        { 64, MASK_SHA256, MASK_BLAKE3, MASK_BLAKE3, MASK_BLAKE3, 0, 0 },
        { 128, MASK_SHA512, 0, 0, MASK_SHA512, 0, 0 },
    };
    *alternative = 0;
    for (const auto &kind : kinds) {
        if (kind.Digits != count)
            continue;
        switch (format) {
        case FORMAT_COPIED: *alternative = kind.Copied; return kind.Kind;
        case CHECKSUM_FORMAT_ANY: *alternative = kind.Alternative; return kind.Kind;
        case CHECKSUM_FORMAT_B3: return kind.B3;
        case CHECKSUM_FORMAT_XXH3:
        case CHECKSUM_FORMAT_XXH128: return kind.Xxh;
        case CHECKSUM_FORMAT_XXH64: return kind.Xxh64;
        default: return count == 16 ? 0 : kind.Kind;    // MD5 and the SHA formats
        }
    }
    return 0;
}

// The kind a bare value of count digits is first taken as, the other in
// *alternative (0 for none); 0 for none.
static int DigestKindOfDigits(size_t count, int *alternative)
{
    return SumKindOfDigits(count, FORMAT_COPIED, alternative);
}

// ---- Characters and spans ----

static bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// What is ignored around a line: blanks and the CR of a CR LF line end.
static bool IsLineSpace(char c)
{
    return IsBlank(c) || c == '\r' || c == '\n';
}

static bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// 1 when the count characters at digits are all hexadecimal digits; stops
// at the first other one, so it never reads past a terminator.
static bool IsHexRun(const char *digits, size_t count)
{
    for (size_t i = 0; i < count; i++)
        if (!IsHexDigit(digits[i]))
            return false;
    return true;
}

static void TrimLine(const char **text, size_t *length)
{
    while (*length > 0 && IsLineSpace((*text)[0])) {
        (*text)++;
        (*length)--;
    }
    while (*length > 0 && IsLineSpace((*text)[*length - 1]))
        (*length)--;
}

// Copies the digits of a checksum of kind with a terminator: a CRC32 in
// upper case, the other kinds in lower case, as every comparison expects them.
static void CopyDigits(char *out, const char *digits, int kind)
{
    size_t count = ChecksumDigits(kind);
    for (size_t i = 0; i < count; i++) {
        char c = digits[i];
        if (kind == MASK_CRC32)
            out[i] = (c >= 'a' && c <= 'f') ? (char)(c - 'a' + 'A') : c;
        else
            out[i] = AsciiLower(c);
    }
    out[count] = '\0';
}

// ---- The lines of checksum files ----

// Where a checksum line's parts lie in the line.
struct LineParts {
    int Kind;
    int Alternative;        // another kind the digits may be, or 0
    const char *Digits;
    const char *Name;
    size_t NameLength;      // at least 1
    bool Escaped;           // md5sum's escaped form: the name holds backslash escapes
};

// The count of hexadecimal digits at the start of the length bytes at text.
static size_t HexRunLength(const char *text, size_t length)
{
    size_t count = 0;
    while (count < length && IsHexDigit(text[count]))
        count++;
    return count;
}

// md5sum's (or sha1sum's, sha256sum's, b3sum's, xxhsum's...) "<digits>
// <mode><name>", the kind given by the count of digits in format.
static bool SplitSumLine(const char *line, size_t length, int format, LineParts *parts)
{
    size_t digits = HexRunLength(line, length);
    int alternative;
    int kind = SumKindOfDigits(digits, format, &alternative);
    if (kind == 0 || length <= digits + 2 || line[digits] != ' ' || (line[digits + 1] != ' ' && line[digits + 1] != '*'))
        return false;
    parts->Kind = kind;
    parts->Alternative = alternative;
    parts->Digits = line;
    parts->Name = line + digits + 2;
    parts->NameLength = length - (digits + 2);
    return true;
}

// BSD's "MD5 (<name>) = <digits>", also SHA1, SHA256 and SHA512. The digits
// are found from the end, so a name may hold ") = " itself.
static bool SplitBsdLine(const char *line, size_t length, LineParts *parts)
{
    static const char tail[] = ") = ";
    size_t tailLength = sizeof tail - 1;
    for (const ChecksumKind &info : ChecksumKinds) {
        size_t labelLength = strlen(info.Label);
        if (info.Mask == MASK_CRC32 || length <= labelLength + 2 + tailLength + info.Digits ||
            !AsciiEqualNoCaseN(line, info.Label, labelLength) || memcmp(line + labelLength, " (", 2) != 0)
            continue;
        const char *digits = line + length - info.Digits;
        if (memcmp(digits - tailLength, tail, tailLength) != 0 || !IsHexRun(digits, info.Digits))
            return false;
        parts->Kind = info.Mask;
        parts->Alternative = 0;
        parts->Digits = digits;
        parts->Name = line + labelLength + 2;
        parts->NameLength = (size_t)(digits - tailLength - parts->Name);
        return true;
    }
    return false;
}

// SFV's "<name> <8 digits>" of a line without blanks around it.
static bool SplitSfvLine(const char *line, size_t length, LineParts *parts)
{
    size_t start = length;
    while (start > 0 && !IsBlank(line[start - 1]))
        start--;
    if (start == 0 || length - start != CRC32_DIGITS || !IsHexRun(line + start, CRC32_DIGITS))
        return false;
    size_t nameEnd = start;
    while (IsBlank(line[nameEnd - 1]))
        nameEnd--;      // stops on the line's first character at the latest: it is not blank
    parts->Kind = MASK_CRC32;
    parts->Alternative = 0;
    parts->Digits = line + start;
    parts->Name = line;
    parts->NameLength = nameEnd;
    return true;
}

// Splits a trimmed, non-blank line of a file in format. Returns 1 with
// *parts filled, 0 for a comment, -1 when no form of the format fits.
static int SplitChecksumLine(const char *line, size_t length, int format, LineParts *parts)
{
    bool sfv = format == CHECKSUM_FORMAT_SFV || format == CHECKSUM_FORMAT_ANY || format == FORMAT_COPIED;
    bool sums = format != CHECKSUM_FORMAT_SFV;
    if ((sfv && line[0] == ';') || (sums && line[0] == '#'))
        return 0;
    if (sums) {
        bool escaped = line[0] == '\\';
        const char *rest = escaped ? line + 1 : line;
        size_t restLength = escaped ? length - 1 : length;
        if (SplitSumLine(rest, restLength, format, parts) || SplitBsdLine(rest, restLength, parts)) {
            parts->Escaped = escaped;
            return 1;
        }
    }
    // An SFV name may start with a backslash: "\dir\a.txt" lies below the drive.
    if (sfv && SplitSfvLine(line, length, parts)) {
        parts->Escaped = false;
        return 1;
    }
    return -1;
}

// Copies the name of parts into name, undoing md5sum's escapes. Returns 0,
// or -1 for a name that does not fit in size, holds a control byte (also
// from an escape) or an escape md5sum does not write.
static int CopyListedName(const LineParts *parts, char *name, size_t size)
{
    size_t used = 0;
    for (size_t i = 0; i < parts->NameLength; i++) {
        char c = parts->Name[i];
        if (c == '\\' && parts->Escaped) {
            if (++i == parts->NameLength)
                return -1;
            switch (parts->Name[i]) {
            case '\\': c = '\\'; break;
            case 'n': c = '\n'; break;
            case 'r': c = '\r'; break;
            default: return -1;
            }
        }
        if (used + 1 >= size || (unsigned char)c < 0x20)
            return -1;
        name[used++] = c;
    }
    name[used] = '\0';
    return 0;
}

int ChecksumFormatOfName(const char *fileName)
{
    static const struct {
        const char *Ending;     // an extension, or a whole name without one
        int Format;
    } endings[] = {
        { ".sfv", CHECKSUM_FORMAT_SFV },       { ".md5", CHECKSUM_FORMAT_MD5 },
        { ".md5sum", CHECKSUM_FORMAT_MD5 },    { ".sha1", CHECKSUM_FORMAT_SHA1 },
        { ".sha1sum", CHECKSUM_FORMAT_SHA1 },  { ".sha256", CHECKSUM_FORMAT_SHA256 },
        { ".sha256sum", CHECKSUM_FORMAT_SHA256 }, { ".sha512", CHECKSUM_FORMAT_SHA512 },
        { ".sha512sum", CHECKSUM_FORMAT_SHA512 }, { "MD5SUMS", CHECKSUM_FORMAT_MD5 },
        { "SHA1SUMS", CHECKSUM_FORMAT_SHA1 },  { "SHA256SUMS", CHECKSUM_FORMAT_SHA256 },
        { "SHA512SUMS", CHECKSUM_FORMAT_SHA512 }, { ".b3", CHECKSUM_FORMAT_B3 },
        { "B3SUMS", CHECKSUM_FORMAT_B3 },      { "BLAKE3SUMS", CHECKSUM_FORMAT_B3 },
        { ".xxh3", CHECKSUM_FORMAT_XXH3 },     { ".xxh128", CHECKSUM_FORMAT_XXH128 },
        { ".xxh64", CHECKSUM_FORMAT_XXH64 },
    };
    const char *name = fileName;
    bool second = false;
    for (const char *at = fileName; *at != '\0'; at++)
        if (!TextInPair(&second, at) && IsPathSeparator(*at))
            name = at + 1;
    const char *dot = strrchr(name, '.');
    for (const auto &ending : endings)
        if (AsciiEqualNoCase(ending.Ending[0] == '.' ? (dot ? dot : "") : name, ending.Ending))
            return ending.Format;
    return CHECKSUM_FORMAT_ANY;
}

int (*ListedNameConverter)(const char *name, bool utf8, char *out, size_t size);

void ChecksumReaderInit(ChecksumReader *reader, const char *text, size_t length, int format)
{
    reader->Text = text;
    reader->Length = length;
    reader->Next = (length >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0) ? 3 : 0;
    reader->Format = format >= CHECKSUM_FORMAT_SFV && format <= CHECKSUM_FORMAT_LAST ? format : CHECKSUM_FORMAT_ANY;
    reader->LineNumber = 0;
}

int ChecksumReaderNext(ChecksumReader *reader, ChecksumLine *line)
{
    if (reader->Next >= reader->Length)
        return READ_END;
    const char *text = reader->Text + reader->Next;
    size_t rest = reader->Length - reader->Next;
    // LF, CR LF or a lone CR, looked for in one pass up to the line's end:
    // the whole text is scanned once, whatever its line ends.
    size_t length = 0;
    while (length < rest && text[length] != '\n' && text[length] != '\r')
        length++;
    size_t ending = length == rest ? 0 : text[length] == '\r' && length + 1 < rest && text[length + 1] == '\n' ? 2 : 1;
    reader->Next += length + ending;
    reader->LineNumber++;

    TrimLine(&text, &length);
    if (length == 0)
        return READ_BLANK_OR_COMMENT;
    LineParts parts;
    int split = SplitChecksumLine(text, length, reader->Format, &parts);
    if (split <= 0)
        return split;
    if (CopyListedName(&parts, line->Name, sizeof line->Name) != 0)
        return READ_NOT_UNDERSTOOD;
    bool utf8 = IsUtf8(text, length);
    char converted[CHECKSUM_NAME_SIZE];
    int result = 0;
    if (ListedNameConverter != nullptr)
        result = ListedNameConverter(line->Name, utf8, converted, sizeof converted);
    else if (!utf8)
        result = Cp1252ToUtf8(line->Name, strlen(line->Name), converted, sizeof converted) == 0 ? 1 : -1;
    if (result < 0)
        return READ_NOT_UNDERSTOOD;
    if (result > 0)
        memcpy(line->Name, converted, strlen(converted) + 1);
    line->Kind = parts.Kind;
    line->Alternative = parts.Alternative;
    CopyDigits(line->Expected, parts.Digits, parts.Kind);
    return READ_CHECKSUM_LINE;
}

int Utf16ChecksumText(const char *text, size_t length, char **out, size_t *outLength)
{
    const unsigned char *bytes = (const unsigned char *)text;
    bool little = length >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
    if (!little && !(length >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF))
        return 0;
    size_t units = (length - 2) / 2;
    // Each unit takes at most three bytes, a pair of them four.
    if (units > (SIZE_MAX - 1) / 3)
        return -1;
    char *utf8 = (char *)malloc(units * 3 + 1);
    if (utf8 == nullptr)
        return -1;
    const unsigned char *unit = bytes + 2;
    auto at = [&](size_t i) -> uint32_t {
        return little ? unit[2 * i] | unit[2 * i + 1] << 8 : unit[2 * i] << 8 | unit[2 * i + 1];
    };
    size_t used = 0;
    for (size_t i = 0; i < units; i++) {
        uint32_t c = at(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units && at(i + 1) >= 0xDC00 && at(i + 1) <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (at(++i) - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
        if (c < 0x80) {
            utf8[used++] = (char)c;
        } else if (c < 0x800) {
            utf8[used++] = (char)(0xC0 | c >> 6);
            utf8[used++] = (char)(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            utf8[used++] = (char)(0xE0 | c >> 12);
            utf8[used++] = (char)(0x80 | (c >> 6 & 0x3F));
            utf8[used++] = (char)(0x80 | (c & 0x3F));
        } else {
            utf8[used++] = (char)(0xF0 | c >> 18);
            utf8[used++] = (char)(0x80 | (c >> 12 & 0x3F));
            utf8[used++] = (char)(0x80 | (c >> 6 & 0x3F));
            utf8[used++] = (char)(0x80 | (c & 0x3F));
        }
    }
    utf8[used] = '\0';
    *out = utf8;
    *outLength = used;
    return 1;
}

bool IsUtf8(const char *text, size_t length)
{
    for (size_t at = 0; at < length;) {
        size_t size = Utf8CharSize(text + at, length - at);
        if (size == 1 && (unsigned char)text[at] >= 0x80)
            return false;
        at += size;
    }
    return true;
}

int Cp1252ToUtf8(const char *text, size_t length, char *out, size_t size)
{
    // 80-9F; the five bytes 1252 leaves undefined stand for U+0081 and so
    // on, as Windows converts them.
    static const uint16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    size_t used = 0;
    for (size_t i = 0; i < length; i++) {
        unsigned char c = (unsigned char)text[i];
        unsigned point = c >= 0x80 && c <= 0x9F ? high[c - 0x80] : c;
        char bytes[3];
        size_t count;
        if (point < 0x80) {
            bytes[0] = (char)point;
            count = 1;
        } else if (point < 0x800) {
            bytes[0] = (char)(0xC0 | (point >> 6));
            bytes[1] = (char)(0x80 | (point & 0x3F));
            count = 2;
        } else {
            bytes[0] = (char)(0xE0 | (point >> 12));
            bytes[1] = (char)(0x80 | ((point >> 6) & 0x3F));
            bytes[2] = (char)(0x80 | (point & 0x3F));
            count = 3;
        }
        if (size - used <= count) {
            if (size > 0)
                out[0] = '\0';
            return -1;
        }
        memcpy(out + used, bytes, count);
        used += count;
    }
    if (size == 0)
        return -1;
    out[used] = '\0';
    return 0;
}

// ---- A checksum copied as text ----

// Keeps digits as the value of kind, and of alternative too (a kind the same
// digits may be, or 0): the comparison then takes either.
static void StoreExpected(ExpectedChecksum *out, int kind, const char *digits, int alternative = 0)
{
    for (int mask : { kind, alternative }) {
        int index = KindOfMask(mask);
        if (index >= 0)
            CopyDigits(out->Digits[index], digits, mask);
    }
    out->Kinds |= kind;
    out->Alternative = alternative;
}

// The length of kind's label at line (length bytes), 0 when it is not there:
// its word ("SHA256") or its name as the result box writes it ("SHA-256"),
// in any letter case, followed by a blank, a colon or the line's end.
static size_t MatchKindLabel(const char *line, size_t length, const ChecksumKind &kind)
{
    for (const char *label : { kind.Label, kind.Name, kind.Alias }) {
        if (label == nullptr)
            continue;
        size_t end = strlen(label);
        if (length >= end && AsciiEqualNoCaseN(line, label, end) &&
            (length == end || IsBlank(line[end]) || line[end] == ':'))
            return end;
    }
    return 0;
}

// "CRC : <8>", "MD5 : <32>", "SHA-256 : <64>"... one or more on a line, as
// the result box writes them. Returns 1 when the line is all such labels,
// 0 when it does not start with one, -1 when it starts with one and is not.
static int ParseLabelledLine(const char *line, size_t length, ExpectedChecksum *out)
{
    size_t at = 0;
    bool labelled = false;
    while (at < length) {
        const ChecksumKind *kind = nullptr;
        size_t labelLength = 0;
        for (const ChecksumKind &info : ChecksumKinds) {
            size_t matched = MatchKindLabel(line + at, length - at, info);
            if (matched > 0) {
                kind = &info;
                labelLength = matched;
            }
        }
        if (kind == nullptr)
            return labelled ? -1 : 0;
        at += labelLength;
        while (at < length && IsBlank(line[at]))
            at++;
        if (at == length || line[at] != ':')
            return labelled ? -1 : 0;
        labelled = true;
        at++;
        while (at < length && IsBlank(line[at]))
            at++;
        size_t start = at;
        while (at < length && !IsBlank(line[at]))
            at++;
        if (at - start != kind->Digits || !IsHexRun(line + start, kind->Digits) || (out->Kinds & kind->Mask))
            return -1;
        StoreExpected(out, kind->Mask, line + start);
        while (at < length && IsBlank(line[at]))
            at++;
    }
    return 1;
}

// Whether line starts with the text of id up to its first conversion, in
// either language: a line of the result box that holds no computed checksum.
static bool StartsWithShownText(const char *line, size_t length, int id)
{
    static const uint16_t languages[] = { LANGUAGE_ID_ENGLISH, LANGUAGE_ID_FRENCH };
    for (uint16_t language : languages) {
        const char *text = LanguageText(language, id);
        const char *conversion = strchr(text, '%');
        size_t prefix = conversion ? (size_t)(conversion - text) : strlen(text);
        while (prefix > 0 && IsBlank(text[prefix - 1]))
            prefix--;   // the line was trimmed
        if (prefix > 0 && length >= prefix && memcmp(line, text, prefix) == 0)
            return true;
    }
    return false;
}

// A line below the result box's path: its checksums (kept in out), or the
// expected value or warning it shows beside them (passed over).
static bool IsResultBoxLine(const char *line, size_t length, ExpectedChecksum *out)
{
    int labelled = ParseLabelledLine(line, length, out);
    if (labelled != 0)
        return labelled > 0;
    return StartsWithShownText(line, length, TEXT_RESULT_EXPECTED) ||
           StartsWithShownText(line, length, TEXT_HISTORY_WARNING_LINE);
}

// A bare checksum, with or without "0x".
static bool ParseBareDigits(const char *line, size_t length, ExpectedChecksum *out)
{
    if (length > 2 && line[0] == '0' && (line[1] == 'x' || line[1] == 'X')) {
        line += 2;
        length -= 2;
    }
    int alternative = 0;
    int kind = length == CRC32_DIGITS ? MASK_CRC32 : DigestKindOfDigits(length, &alternative);
    if (kind == 0 || !IsHexRun(line, length))
        return false;
    StoreExpected(out, kind, line, alternative);
    return true;
}

// A bare SHA-1, SHA-256, BLAKE3 or SHA-512 written in groups: "d41d8cd9 8f00b204 ...".
static bool ParseGroupedDigits(const char *line, size_t length, ExpectedChecksum *out)
{
    char digits[129];
    size_t count = 0;
    for (size_t i = 0; i < length; i++) {
        if (IsBlank(line[i]))
            continue;
        if (!IsHexDigit(line[i]) || count == sizeof digits - 1)
            return false;
        digits[count++] = line[i];
    }
    int alternative;
    int kind = DigestKindOfDigits(count, &alternative);
    if (kind == 0 || count < 40)
        return false;
    StoreExpected(out, kind, digits, alternative);
    return true;
}

static int ParseOneLine(const char *line, size_t length, ExpectedChecksum *out)
{
    int labelled = ParseLabelledLine(line, length, out);
    if (labelled != 0)
        return labelled > 0 ? 0 : -1;
    if (ParseBareDigits(line, length, out))
        return 0;
    LineParts parts;
    if (SplitChecksumLine(line, length, FORMAT_COPIED, &parts) == 1) {
        StoreExpected(out, parts.Kind, parts.Digits, parts.Alternative);
        return 0;
    }
    return ParseGroupedDigits(line, length, out) ? 0 : -1;
}

int ParseChecksumText(const char *text, ExpectedChecksum *out)
{
    memset(out, 0, sizeof *out);
    // One line of any form, or the result box's whole text: the path, then
    // checksum lines among the other lines it shows.
    const char *first = nullptr;
    size_t firstLength = 0;
    int count = 0, result = 0;
    for (const char *at = text;;) {
        const char *lineEnd = strchr(at, '\n');
        const char *line = at;
        size_t length = lineEnd ? (size_t)(lineEnd - at) : strlen(at);
        TrimLine(&line, &length);
        if (length > 0 && result == 0) {
            if (++count == 1) {
                first = line;
                firstLength = length;
            } else if (count == 2 && ParseLabelledLine(first, firstLength, out) != 0) {
                result = -1;    // a path never starts with "CRC :"
            }
            if (count >= 2 && result == 0 && !IsResultBoxLine(line, length, out))
                result = -1;
        }
        if (lineEnd == nullptr)
            break;
        at = lineEnd + 1;
    }
    if (count == 1)
        result = ParseOneLine(first, firstLength, out);
    else if (count == 0 || out->Kinds == 0)
        result = -1;
    if (result != 0)
        memset(out, 0, sizeof *out);
    return result;
}

// ---- Listed names and paths ----

// Components kept while walking back from a path's last component: each ".."
// drops the next kept component on its left; the ".." left in Drop at the
// end climbed above the start. The whole walk is linear.
struct ComponentWalk {
    size_t Drop;    // ".." waiting for a component
    size_t Kept;    // bytes of the kept components with their backslashes
    char *Out;      // when given, each kept component is written to end at Out + End
    size_t End;
};

// The components are found in text and copied from the same places in bytes.
static void WalkComponentsBack(const char *text, const char *bytes, size_t length, ComponentWalk *walk)
{
    size_t stop = length;
    while (stop > 0) {
        size_t start = stop;
        while (start > 0 && !IsPathSeparator(text[start - 1]))
            start--;
        const char *part = text + start;
        size_t count = stop - start;
        if (count == 0 || (count == 1 && part[0] == '.')) {
            // nothing to keep
        } else if (count == 2 && part[0] == '.' && part[1] == '.') {
            walk->Drop++;
        } else if (walk->Drop > 0) {
            walk->Drop--;
        } else {
            walk->Kept += count + 1;
            if (walk->Out != nullptr) {
                walk->End -= count;
                memcpy(walk->Out + walk->End, bytes + start, count);
                walk->Out[--walk->End] = '\\';
            }
        }
        stop = start > 0 ? start - 1 : 0;
    }
}

// Whether the count bytes at part name a device, whatever follows a dot:
// Windows opens the device for "nul.txt" and "Con .log" too.
static bool IsDeviceName(const char *part, size_t count)
{
    size_t base = 0;
    while (base < count && part[base] != '.')
        base++;
    while (base > 0 && part[base - 1] == ' ')
        base--;
    static const char *const devices[] = { "CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$" };
    for (const char *device : devices)
        if (base == strlen(device) && AsciiEqualNoCaseN(part, device, base))
            return true;
    if (base < 4 || (!AsciiEqualNoCaseN(part, "COM", 3) && !AsciiEqualNoCaseN(part, "LPT", 3)))
        return false;
    // A digit, or a superscript 1, 2 or 3 (Windows-1252 B9 B2 B3, UTF-8 C2 B9...).
    const unsigned char *digit = (const unsigned char *)part + 3;
    bool superscript = base == 5 && digit[0] == 0xC2;
    if (superscript)
        digit++;
    else if (base != 4)
        return false;
    return (!superscript && digit[0] >= '0' && digit[0] <= '9') || digit[0] == 0xB9 || digit[0] == 0xB2 ||
           digit[0] == 0xB3;
}

// Whether a listed name's bytes may name a file: no control byte, none of
// <>"|?*, and ':' only as a drive's "X:" at the start.
static bool HasFileNameBytes(const char *name)
{
    for (size_t i = 0; name[i] != '\0'; i++) {
        unsigned char c = (unsigned char)name[i];
        if (c < 0x20 || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*')
            return false;
        if (c == ':' && !(i == 1 && IsDriveLetter(name[0])))
            return false;
    }
    return true;
}

// Whether every component of the length bytes at text may be opened: none
// ends in a dot or a blank (Windows would drop them and open another file)
// and none is a device; "." and ".." stand for folders.
static bool HasFileComponents(const char *text, size_t length)
{
    for (size_t start = 0; start <= length;) {
        size_t end = start;
        while (end < length && !IsPathSeparator(text[end]))
            end++;
        const char *part = text + start;
        size_t count = end - start;
        bool dots = (count == 1 && part[0] == '.') || (count == 2 && part[0] == '.' && part[1] == '.');
        if (count > 0 && !dots && (part[count - 1] == '.' || part[count - 1] == ' ' || IsDeviceName(part, count)))
            return false;
        start = end + 1;
    }
    return true;
}

// In a double-byte code page the second byte of a character can be '\\' or
// '|'. A name's shape is then read from a shadow of it with both bytes of
// each such character as 'x': name itself when it has none, else shadow,
// or null when the name does not fit there.
static const char *ShapeOfName(const char *name, char *shadow, size_t size)
{
    bool second = false, any = false;
    size_t length = 0;
    for (; name[length] != '\0'; length++)
        any |= TextInPair(&second, &name[length]);
    if (!any)
        return name;
    if (length >= size)
        return nullptr;
    second = false;
    for (size_t i = 0; i <= length; i++)
        shadow[i] = TextInPair(&second, &name[i]) ? 'x' : name[i];
    return shadow;
}

int ClassifyListedName(const char *folder, const char *fullName, char *out, size_t size)
{
    char shadow[LISTED_SHAPE_SIZE];
    const char *name = ShapeOfName(fullName, shadow, sizeof shadow);
    if (name == nullptr)
        return LISTED_TOO_LONG;
    if (name[0] == '\0' || !HasFileNameBytes(name))
        return LISTED_REFUSED;
    bool absolute = IsDriveLetter(name[0]) && name[1] == ':';
    // "\x", "\\srv\share", "\\?\", "\\.\" and the drive-relative "C:x".
    if (absolute ? !IsPathSeparator(name[2]) : IsPathSeparator(name[0]))
        return LISTED_REFUSED;
    const char *rest = absolute ? name + 3 : name;
    const char *restBytes = absolute ? fullName + 3 : fullName;
    size_t restLength = strlen(rest);
    if (!HasFileComponents(rest, restLength))
        return LISTED_REFUSED;
    // A ".." left over after the walk back climbed above the base somewhere.
    ComponentWalk measure = {};
    WalkComponentsBack(rest, restBytes, restLength, &measure);
    if (measure.Drop > 0)
        return LISTED_REFUSED;

    const char *base = fullName;
    size_t baseLength = 2;
    if (!absolute) {
        if (PathRootLength(folder) == 0)
            return LISTED_TOO_LONG;
        base = folder;
        baseLength = PathTrimSeparators(folder, strlen(folder));
    }
    size_t total = baseLength + (measure.Kept > 0 ? measure.Kept : 1);
    if (total >= size)
        return LISTED_TOO_LONG;
    for (size_t i = 0; i < baseLength; i++)
        out[i] = IsPathSeparator(base[i]) ? '\\' : base[i];
    out[baseLength] = '\\';     // the base folder itself when nothing is kept
    ComponentWalk write = {};
    write.Out = out;
    write.End = total;
    WalkComponentsBack(rest, restBytes, restLength, &write);
    out[total] = '\0';
    return absolute ? LISTED_ABSOLUTE : LISTED_INSIDE;
}

const char *ListedNameOf(const char *folder, const char *path)
{
    const char *rest = PathInFolder(folder, path);
    return rest != nullptr ? rest : path;
}

// ---- Writing checksum files ----

int FormatSfvLine(char *out, size_t size, const char *name, uint32_t crc)
{
    // What the reader would take for a comment or trim off goes behind ".\",
    // which names the same file.
    size_t length = strlen(name);
    bool guarded = name[0] == ';' || (length > 0 && (IsBlank(name[0]) || IsBlank(name[length - 1])));
    return FormatText(out, size, "%s%s %08X\r\n", guarded ? ".\\" : "", name, (unsigned)crc);
}

// "<digits in lower case> *<name>\r\n" for a checksum of kind.
static int FormatSumLine(char *out, size_t size, const char *name, const char *hexText, int kind)
{
    size_t count = ChecksumDigits(kind);
    if (!IsHexRun(hexText, count) || hexText[count] != '\0') {
        if (size > 0)
            out[0] = '\0';
        return -1;
    }
    char digits[129];
    CopyDigits(digits, hexText, kind);
    // b3sum --check takes only its own form: two blanks, and LF alone.
    const char *form = kind == MASK_BLAKE3 ? "%s  %s\n" : "%s *%s\r\n";
    if (FormatText(out, size, form, digits, name) != 0)
        return -1;
    // Relative names with '/', as md5sum and its kin write and read them
    // everywhere; a full path keeps its backslashes.
    bool relative = !(IsDriveLetter(name[0]) && name[1] == ':') && !IsPathSeparator(name[0]);
    bool second = false;
    for (char *at = out + count + 2; relative && *at != '\0'; at++)
        if (!TextInPair(&second, at) && *at == '\\')
            *at = '/';
    return 0;
}

int FormatMd5Line(char *out, size_t size, const char *name, const char *md5Text)
{
    return FormatSumLine(out, size, name, md5Text, MASK_MD5);
}

int FormatDigestLine(char *out, size_t size, const char *name, const char *digits, int kind)
{
    return FormatSumLine(out, size, name, digits, kind);
}

// The formats Save writes: the filter's index in the save dialog, the
// extension it adds, the kind its lines hold, and that kind as the summary
// names it.
static const struct {
    int Format;
    const char *Extension;
    int Kind, KindText;
} SavedFormats[] = {
    { CHECKSUM_FORMAT_SFV, ".sfv", MASK_CRC32, TEXT_KIND_CRC32 },
    { CHECKSUM_FORMAT_MD5, ".md5", MASK_MD5, TEXT_KIND_MD5 },
    { CHECKSUM_FORMAT_SHA256, ".sha256", MASK_SHA256, TEXT_KIND_SHA256 },
    { CHECKSUM_FORMAT_B3, ".b3", MASK_BLAKE3, TEXT_KIND_BLAKE3 },
};

int SavedFormatOfFilter(int filterIndex)
{
    return filterIndex >= 1 && filterIndex <= (int)(sizeof SavedFormats / sizeof SavedFormats[0])
               ? SavedFormats[filterIndex - 1].Format
               : -1;
}

int SavedFormatKind(int format)
{
    for (const auto &saved : SavedFormats)
        if (saved.Format == format)
            return saved.Kind;
    return 0;
}

int FormatSfvHeader(char *out, size_t size, int year, int month, int day, int hour, int minute,
                    int second)
{
    return FormatText(out, size, "; Generated by Zunta Calculator on %04d-%02d-%02d at %02d:%02d.%02d\r\n",
                      year, month, day, hour, minute, second);
}

int ChooseSaveName(const char *typed, int selectedFormat, char *out, size_t size)
{
    if (typed[0] == '\0')
        return -1;
    int format = ChecksumFormatOfName(typed);
    if (SavedFormatKind(format) != 0)
        return CopyText(out, size, typed) == 0 ? format : -1;
    for (const auto &saved : SavedFormats)
        if (saved.Format == selectedFormat)
            return FormatText(out, size, "%s%s", typed, saved.Extension) == 0 ? selectedFormat : -1;
    return -1;
}

// ---- Summaries ----

// A text made of pieces in a buffer sized beforehand; a piece that would
// not fit is cut, never written past the end.
struct TextBuilder {
    char *Text;
    size_t Size;
    size_t Used;
};

static void BuildFormat(TextBuilder *builder, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

static void BuildFormat(TextBuilder *builder, const char *format, ...)
{
    size_t room = builder->Size - builder->Used;
    va_list args;
    va_start(args, format);
    int written = vsnprintf(builder->Text + builder->Used, room, format, args);
    va_end(args);
    if (written > 0)
        builder->Used += (size_t)written < room ? (size_t)written : room - 1;
}

char *FormatSaveSummary(int format, const char *name, int32_t written, int32_t leftOut)
{
    int kindText = TEXT_KIND_MD5;
    for (const auto &saved : SavedFormats)
        if (saved.Format == format)
            kindText = saved.KindText;
    const char *kind = LanguageStrings[kindText];
    size_t size = strlen(name) + SAVE_SUMMARY_SIZE;
    char *text = (char *)malloc(size);
    if (text == nullptr)
        return nullptr;
    TextBuilder builder = { text, size, 0 };
    text[0] = '\0';
    if (written > 0) {
        BuildFormat(&builder, CountText(TEXT_SAVED_ONE, written), written, name);
        if (leftOut > 0)
            BuildFormat(&builder, CountText(TEXT_LEFT_OUT_ONE, leftOut), leftOut, kind);
    } else if (leftOut <= 0) {
        BuildFormat(&builder, "%s", LanguageStrings[TEXT_NOTHING_SAVED_EMPTY]);
    } else if (leftOut == 1) {
        BuildFormat(&builder, LanguageStrings[TEXT_NOTHING_SAVED_ONE_FILE], kind);
    } else {
        BuildFormat(&builder, LanguageStrings[TEXT_NOTHING_SAVED_FILES], leftOut, kind);
    }
    return text;
}

void VerifySummaryInit(VerifySummary *summary)
{
    memset(summary, 0, sizeof *summary);
}

static void CountName(SummaryNames *names, const char *name)
{
    if (names->Count < SUMMARY_NAME_LIMIT && name != nullptr)
        names->Names[names->Count] = DuplicateText(name);
    names->Count++;
}

void VerifySummaryAdd(VerifySummary *summary, int outcome, const char *name)
{
    switch (outcome) {
    case VERIFY_OK: summary->Ok++; break;
    case VERIFY_FAILED: CountName(&summary->Failed, name); break;
    case VERIFY_MISSING: CountName(&summary->Missing, name); break;
    case VERIFY_NOT_OPENED: CountName(&summary->NotOpened, name); break;
    default: break;
    }
}

void VerifySummaryAddNotUnderstood(VerifySummary *summary, int32_t lineNumber)
{
    if (summary->NotUnderstood++ == 0)
        summary->FirstNotUnderstood = lineNumber;
}

void VerifySummaryFree(VerifySummary *summary)
{
    for (int i = 0; i < SUMMARY_NAME_LIMIT; i++) {
        free(summary->Failed.Names[i]);
        free(summary->Missing.Names[i]);
        free(summary->NotOpened.Names[i]);
    }
    VerifySummaryInit(summary);
}

// Bytes the kept names take, each on a line of its own.
static size_t NamesRoom(const SummaryNames *names)
{
    size_t room = 0;
    for (int i = 0; i < SUMMARY_NAME_LIMIT; i++)
        if (names->Names[i] != nullptr)
            room += strlen(names->Names[i]) + 2;
    return room;
}

// A blank line, the heading (with the count when it takes one), the kept
// names, and how many more there are.
static void BuildNames(TextBuilder *builder, int heading, const SummaryNames *names)
{
    if (names->Count == 0)
        return;
    BuildFormat(builder, "\r\n\r\n");
    BuildFormat(builder, LanguageStrings[heading], names->Count);
    int32_t shown = 0;
    for (int i = 0; i < SUMMARY_NAME_LIMIT; i++) {
        if (names->Names[i] != nullptr) {
            BuildFormat(builder, "\r\n%s", names->Names[i]);
            shown++;
        }
    }
    int32_t others = names->Count - shown;
    if (others > 0) {
        BuildFormat(builder, "\r\n");
        BuildFormat(builder, CountText(TEXT_OTHER_NAMES_ONE, others), others);
    }
}

char *FormatVerifySummary(const VerifySummary *summary)
{
    size_t size = SUMMARY_FIXED_ROOM + NamesRoom(&summary->Failed) + NamesRoom(&summary->Missing) +
                  NamesRoom(&summary->NotOpened);
    TextBuilder builder = { (char *)malloc(size), size, 0 };
    if (builder.Text == nullptr)
        return nullptr;
    builder.Text[0] = '\0';

    int32_t failed = summary->Failed.Count, missing = summary->Missing.Count;
    int32_t verified = summary->Ok + failed + missing;
    if (summary->Cancelled) {
        BuildFormat(&builder, CountText(TEXT_CANCELLED_ONE, summary->Listed), verified,
                    summary->Listed);
        BuildFormat(&builder, "\r\n");
    }
    BuildFormat(&builder, CountText(TEXT_VERIFIED_ONE, verified), verified);
    BuildFormat(&builder, LanguageStrings[TEXT_VERIFIED_OK], summary->Ok);
    BuildFormat(&builder, LanguageStrings[TEXT_VERIFIED_FAILED], failed);
    BuildFormat(&builder, CountText(TEXT_VERIFIED_MISSING_ONE, missing), missing);
    for (int kind = 0; kind < KIND_COUNT; kind++) {
        int32_t matched = summary->MatchedAs[kind];
        if (matched > 0) {
            BuildFormat(&builder, "\r\n");
            BuildFormat(&builder, CountText(TEXT_VERIFIED_MATCHED_AS_ONE, matched), matched, ChecksumKinds[kind].Name);
        }
    }
    BuildNames(&builder, TEXT_FAILED_HEADING, &summary->Failed);
    BuildNames(&builder, TEXT_MISSING_HEADING, &summary->Missing);
    BuildNames(&builder, TEXT_NOT_OPENED_HEADING, &summary->NotOpened);
    if (summary->NotUnderstood > 0) {
        BuildFormat(&builder, "\r\n\r\n");
        BuildFormat(&builder, CountText(TEXT_NOT_UNDERSTOOD_ONE, summary->NotUnderstood),
                    summary->NotUnderstood, summary->FirstNotUnderstood);
    }
    return builder.Text;
}
