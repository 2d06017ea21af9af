// Fuzzing the measure of narrow text by characters: sizes, counts, fits,
// prefixes and cut copies of any bytes, and the path helpers that must not
// take the second byte of a character for a letter or a separator, in UTF-8,
// a double-byte code page and a single-byte one, against a plain model of
// each code page.
//
// Input: a code page byte (0 UTF-8, 1 double-byte, 2 single-byte), for the
// double-byte one four bytes of two lead-byte ranges, then the text.
#include "base/textutil.h"

#include "fuzz_support.h"

#include <string>
#include <vector>

namespace {

// The character boundaries of text as the model cuts it.
std::vector<size_t> ModelBoundaries(const std::string &text, int kind, const bool *lead)
{
    std::vector<size_t> at{ 0 };
    const unsigned char *bytes = (const unsigned char *)text.c_str();
    for (size_t i = 0; i < text.size();) {
        size_t size = 1;
        if (kind == 0)
            size = ModelUtf8Size(bytes + i, text.size() - i);
        else if (kind == 1 && lead[bytes[i]] && i + 1 < text.size())
            size = 2;
        i += size;
        at.push_back(i);
    }
    return at;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    int kind = in.Byte() % 3;
    uint8_t leads[TEXT_LEAD_BYTES_SIZE] = {};
    bool lead[256] = {};
    if (kind == 1) {
        for (int i = 0; i < 4; i++)
            leads[i] = in.Byte();
        for (int pair = 0; pair < 4 && (leads[pair] || leads[pair + 1]); pair += 2)
            for (unsigned b = leads[pair]; b <= leads[pair + 1]; b++)
                lead[b] = b != 0;
    }
    TextSetCodePage(kind == 0 ? TEXT_CODE_PAGE_UTF8 : kind == 1 ? 932 : 1252, kind == 1 ? 2 : 1, leads);
    bool anyLead = false;
    for (bool l : lead)
        anyLead = anyLead || l;
    if (kind == 1 && !anyLead)
        kind = 2;
    FUZZ_CHECK(TextCodePage() == (kind == 0 ? TEXT_UTF8 : kind == 1 ? TEXT_DOUBLE_BYTE : TEXT_SINGLE_BYTE),
               "code page kind %d", kind);

    ExactText text(in.Rest());
    std::string bytes(text.Bytes);
    std::vector<size_t> at = ModelBoundaries(bytes, kind, lead);
    size_t chars = at.size() - 1;

    for (size_t i = 0; i < chars; i++)
        FUZZ_CHECK(TextCharSize(text.Bytes + at[i]) == at[i + 1] - at[i], "character %zu at byte %zu", i, at[i]);
    FUZZ_CHECK(TextCharSize(text.Bytes + bytes.size()) == 0, "the terminator");
    FUZZ_CHECK(TextCharCount(text.Bytes, bytes.size()) == chars, "%zu characters", chars);

    for (size_t max = 0, next = 0; max <= bytes.size() + 1; max++) {
        while (next + 1 < at.size() && at[next + 1] <= max)
            next++;
        FUZZ_CHECK(TextFitLength(text.Bytes, max) == at[next], "fit within %zu bytes", max);
        ExactBuffer cut(max);
        int copied = CopyTextCut(cut.Bytes, max, text.Bytes);
        if (max == 0) {
            FUZZ_CHECK(copied == -1, "cut copy into nothing");
            continue;
        }
        size_t fit = TextFitLength(text.Bytes, max - 1);
        FUZZ_CHECK(copied == (fit < bytes.size() ? 1 : 0) && std::string(cut.Bytes) == bytes.substr(0, fit),
                   "cut copy into %zu bytes", max);
    }
    for (size_t n = 0; n <= chars + 1; n++)
        FUZZ_CHECK(TextPrefixLength(text.Bytes, n) == at[n < chars ? n : chars], "first %zu characters", n);

    // Only a character of one byte is a separator or a letter: the file name
    // follows the last '\\', the trim ends after the last other character,
    // and folding changes only such letters.
    size_t name = 0, kept = 0;
    std::string lower = bytes;
    for (size_t i = 0; i < chars; i++) {
        char c = bytes[at[i]];
        bool single = at[i + 1] - at[i] == 1;
        if (single && c == '\\')
            name = at[i + 1];
        if (!single || (c != '\\' && c != '/'))
            kept = at[i + 1];
        if (single && c >= 'A' && c <= 'Z')
            lower[at[i]] = (char)(c - 'A' + 'a');
    }
    FUZZ_CHECK(PathFileName(text.Bytes) == text.Bytes + name, "file name at %zu", name);
    FUZZ_CHECK(PathTrimSeparators(text.Bytes, bytes.size()) == kept, "trimmed to %zu", kept);
    std::string folded = bytes;
    AsciiLowerText(&folded[0]);
    FUZZ_CHECK(folded == lower, "folded");
    // In every real code page a lead byte is no ASCII letter: folding does
    // not change where the characters of a text begin.
    bool letterLeads = false;
    for (int c = 'A'; c <= 'z'; c++)
        letterLeads = letterLeads || lead[c];
    FUZZ_CHECK(letterLeads || AsciiEqualNoCase(bytes.c_str(), lower.c_str()), "compared without case");
    return 0;
}
