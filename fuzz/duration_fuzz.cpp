// Fuzzing the duration of a run: the elapsed time between two clock
// readings, its seconds, and the duration text for any float (NaN, the
// infinities and negative values too) in buffers of any size.
//
// Input: the float's four bytes (little-endian), the text buffer's size, a
// language byte (odd: French), then two clock readings of eight bytes of
// seconds and two of milliseconds each.
#include "base/lang.h"
#include "base/texts.h"
#include "checksum/hashjob.h"

#include "fuzz_support.h"

#include <math.h>

#include <string>

namespace {

// The text as a bounded format without limit would give it.
std::string FullText(float seconds)
{
    char text[256];
    snprintf(text, sizeof text, "%s : %.3f sec", LanguageStrings[TEXT_DURATION], (double)seconds);
    return text;
}

void CheckText(float seconds, size_t size)
{
    ExactBuffer text(size);
    FormatDurationText(seconds, text.Bytes, size);
    if (size == 0)
        return;
    if (seconds < 0) {
        FUZZ_CHECK(text.Bytes[0] == '\0', "%g seconds written \"%s\"", (double)seconds, text.Bytes);
        return;
    }
    std::string full = FullText(seconds);
    FUZZ_CHECK(full.size() < DURATION_TEXT_SIZE, "%g seconds need %zu bytes", (double)seconds, full.size() + 1);
    std::string expected = CutTo(full, size);
    FUZZ_CHECK(expected == text.Bytes, "%g seconds in %zu bytes: \"%s\"", (double)seconds, size, text.Bytes);

    // The number reads back as the seconds to the millisecond.
    if (isfinite(seconds)) {
        std::string prefix = std::string(LanguageStrings[TEXT_DURATION]) + " : ";
        FUZZ_CHECK(full.compare(0, prefix.size(), prefix) == 0 && full.size() > prefix.size() + 4 &&
                       full.compare(full.size() - 4, 4, " sec") == 0,
                   "duration text \"%s\"", full.c_str());
        double back = strtod(full.c_str() + prefix.size(), nullptr);
        FUZZ_CHECK(fabs(back - (double)seconds) <= 0.0005 + fabs((double)seconds) * 1e-15,
                   "%.9g seconds read back as %.9g", (double)seconds, back);
    }
}

// A wall clock reading: seconds around 1970 give or take 35,000 years (the
// clock may be set back between two readings), milliseconds 0 to 999.
void ReadClock(FuzzInput &in, int64_t *seconds, int32_t *milliseconds)
{
    *seconds = (int64_t)in.U64() % ((int64_t)1 << 40);
    *milliseconds = (int32_t)(in.Bytes(2) % 1000);
}

void CheckElapsed(FuzzInput &in, size_t size)
{
    int64_t startSeconds, endSeconds;
    int32_t startMs, endMs;
    ReadClock(in, &startSeconds, &startMs);
    ReadClock(in, &endSeconds, &endMs);
    int64_t seconds;
    int32_t milliseconds;
    ElapsedTime(startSeconds, startMs, endSeconds, endMs, &seconds, &milliseconds);
    int64_t exactMs = (endSeconds * 1000 + endMs) - (startSeconds * 1000 + startMs);
    FUZZ_CHECK(milliseconds >= 0 && milliseconds <= 999 && seconds * 1000 + milliseconds == exactMs,
               "elapsed %lld s %d ms, not %lld ms", (long long)seconds, milliseconds, (long long)exactMs);

    float duration = DurationSeconds(seconds, milliseconds);
    double exact = (double)exactMs / 1000;
    FUZZ_CHECK(fabs((double)duration - exact) <= 0.0005 + fabs(exact) * 2e-7, "%lld ms as %.9g seconds",
               (long long)exactMs, (double)duration);
    // A clock that did not go back gives a duration that shows.
    FUZZ_CHECK((duration >= 0) == (exactMs >= 0), "%lld ms as %.9g seconds", (long long)exactMs, (double)duration);
    CheckText(duration, size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    uint32_t bits = in.U32();
    float seconds;
    memcpy(&seconds, &bits, sizeof seconds);
    size_t textSize = in.Byte() % (DURATION_TEXT_SIZE + 8);
    SelectLanguageTable(in.Byte() & 1 ? LANGUAGE_ID_FRENCH : LANGUAGE_ID_ENGLISH);

    CheckText(seconds, textSize);
    CheckText(seconds, DURATION_TEXT_SIZE);
    CheckElapsed(in, textSize);
    return 0;
}
