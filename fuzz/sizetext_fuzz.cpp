// Fuzzing the two size texts of a list row for any 64-bit size, any buffer
// size and either language: the grouped digits read back as the size, the
// rounded size with its unit reads back within its rounding, and neither
// writes past its buffer.
//
// Input: the size (eight bytes, little-endian), the grouped text's buffer
// size, the unit text's buffer size, a language byte (even: English id 9,
// odd: French id 12, 0xFF: the byte itself), a byte whose bit 0 rewrites
// the rest of the input instead of a grouped text.
#include "base/lang.h"
#include "base/sizetext.h"

#include "fuzz_support.h"

#include <inttypes.h>
#include <math.h>

#include <string>

namespace {

const char *Suffix(uint16_t language, int unit)
{
    static const char *const english[] = { "", " KB", " MB", " GB" };
    static const char *const french[] = { "", " Ko", " Mo", " Go" };
    return language == LANGUAGE_ID_FRENCH ? french[unit] : english[unit];
}

// A unit text "N", "N.NN" with the unit's suffix: the number, or -1 for
// another form.
double NumberOf(const std::string &text, const char *suffix, bool *whole)
{
    size_t suffixLength = strlen(suffix);
    if (text.size() <= suffixLength || text.compare(text.size() - suffixLength, suffixLength, suffix) != 0)
        return -1;
    std::string number = text.substr(0, text.size() - suffixLength);
    size_t point = number.find('.');
    *whole = point == std::string::npos;
    size_t digitsBefore = *whole ? number.size() : point;
    if (digitsBefore == 0 || number.find_first_not_of("0123456789.") != std::string::npos ||
        (!*whole && number.size() != point + 3) || number.find('.', point + 1) != std::string::npos)
        return -1;
    return strtod(number.c_str(), nullptr);
}

void CheckGrouped(uint64_t value, size_t size)
{
    std::string expected = Grouped(value);
    ExactBuffer text(size);
    int result = FormatGroupedSize(text.Bytes, size, value);
    if (expected.size() < size) {
        FUZZ_CHECK(result == 0 && expected == text.Bytes, "%" PRIu64 " grouped in %zu bytes: %d \"%s\"", value, size,
                   result, text.Bytes);
    } else {
        FUZZ_CHECK(result == -1, "%" PRIu64 " grouped into %zu bytes", value, size);
        if (size > 0)
            FUZZ_CHECK(text.Bytes[0] == '\0', "%" PRIu64 " left a cut text in %zu bytes", value, size);
    }
}

void CheckUnit(uint64_t value, size_t size, uint16_t language)
{
    std::string grouped = Grouped(value);
    size_t digits = std::to_string(value).size();
    int unit = digits > 9 ? 3 : digits > 6 ? 2 : digits > 3 ? 1 : 0;

    // The buffer the program gives both texts never refuses one.
    char room[SIZE_TEXT_SIZE];
    memcpy(room, grouped.c_str(), grouped.size() + 1);
    int result = FormatUnitSize(room, sizeof room, language);
    FUZZ_CHECK(result == unit, "%" PRIu64 " gave unit %d, not %d", value, result, unit);
    std::string full = room;

    bool whole = false;
    double number = NumberOf(full, Suffix(language, unit), &whole);
    FUZZ_CHECK(number >= 0, "%" PRIu64 " written \"%s\" in language %u", value, full.c_str(), language);
    double scale = pow(1024.0, unit);
    double error = fabs(number * scale - (double)value);
    FUZZ_CHECK(error <= 0.005 * scale + (double)value * 1e-15, "%" PRIu64 " written \"%s\", off by %g", value,
               full.c_str(), error);
    if (value < (1ull << 53) && whole)
        FUZZ_CHECK(value % (uint64_t)scale == 0, "%" PRIu64 " written whole as \"%s\"", value, full.c_str());

    // In a buffer of the fuzzed size, large enough for the grouped text.
    ExactBuffer text(size > grouped.size() ? size : grouped.size() + 1);
    memcpy(text.Bytes, grouped.c_str(), grouped.size() + 1);
    result = FormatUnitSize(text.Bytes, text.Size, language);
    if (full.size() < text.Size)
        FUZZ_CHECK(result == unit && full == text.Bytes, "%" PRIu64 " in %zu bytes: %d \"%s\"", value, text.Size,
                   result, text.Bytes);
    else
        FUZZ_CHECK(result == -1 && grouped == text.Bytes, "\"%s\" in %zu bytes: %d \"%s\"", full.c_str(),
                   text.Size, result, text.Bytes);
}

// Any bytes where a grouped text belongs: a unit step or a refusal, and
// nothing written past the buffer. Only digits and spaces (of any count)
// must come out with their unit: the program's texts come from
// FormatGroupedSize, and a number with an exponent ("1e308") is cut to the
// function's own buffer, unit and all.
void CheckAnyText(const std::string &bytes, size_t size, uint16_t language)
{
    ExactText input(bytes);
    ExactBuffer text(size > input.Size ? size : input.Size);
    memcpy(text.Bytes, input.Bytes, input.Size);
    int result = FormatUnitSize(text.Bytes, text.Size, language);
    FUZZ_CHECK(result >= -1 && result <= 3, "unit step %d", result);
    FUZZ_CHECK(strnlen(text.Bytes, text.Size) < text.Size, "a unit text without its end");
    bool grouped = strspn(input.Bytes, "0123456789 ") == input.Size - 1;
    if (result > 0 && grouped) {
        const char *suffix = Suffix(language, result);
        size_t length = strlen(text.Bytes), suffixLength = strlen(suffix);
        FUZZ_CHECK(length >= suffixLength && strcmp(text.Bytes + length - suffixLength, suffix) == 0,
                   "\"%s\" ends without \"%s\"", text.Bytes, suffix);
    }
    FUZZ_CHECK(FormatUnitSize(nullptr, 8, language) == -1 && FormatUnitSize(text.Bytes, 0, language) == -1,
               "a unit text with no buffer");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    uint64_t value = in.U64();
    size_t groupedSize = in.Byte() % 40;
    size_t unitSize = in.Byte() % 40;
    uint8_t languageByte = in.Byte();
    uint16_t language = languageByte == 0xFF ? languageByte
                        : languageByte & 1 ? LANGUAGE_ID_FRENCH
                                           : LANGUAGE_ID_ENGLISH;
    bool anyText = in.Byte() & 1;

    CheckGrouped(value, groupedSize);
    if (anyText)
        CheckAnyText(in.Rest(), unitSize, language);
    else
        CheckUnit(value, unitSize, language);
    return 0;
}
