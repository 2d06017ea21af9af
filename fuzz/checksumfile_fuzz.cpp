// Fuzzing what reads and writes checksum files: a whole file read line by
// line in every format, the same bytes as copied text, the names resolved
// against a folder and listed back, the save name, the lines written read
// back, and the verification plan built and judged from what was read.
//
// Input: a format byte, a folder text, a typed save name, then the file.
#include "core/checksumfile.h"
#include "core/verifyplan.h"

#include "fuzz_support.h"

namespace {

bool IsHexText(const char *text, size_t length)
{
    if (strlen(text) != length)
        return false;
    for (size_t i = 0; i < length; i++)
        if (!strchr("0123456789abcdefABCDEF", text[i]))
            return false;
    return true;
}

// A line written for name reads back as the same name and checksum.
void CheckWrittenLine(const char *name, const ChecksumLine &line)
{
    char written[CHECKSUM_NAME_SIZE + 64];
    ChecksumLine again;
    ChecksumReader reader;
    if (line.Kind == CHECKSUM_CRC32) {
        uint32_t crc = (uint32_t)strtoul(line.Expected, nullptr, 16);
        if (FormatSfvLine(written, sizeof written, name, crc) != 0)
            return;
        ChecksumReaderInit(&reader, written, strlen(written), CHECKSUM_FORMAT_SFV);
    } else {
        if (FormatMd5Line(written, sizeof written, name, line.Expected) != 0)
            return;
        ChecksumReaderInit(&reader, written, strlen(written), CHECKSUM_FORMAT_MD5);
    }
    // Names with blanks at an end, line ends inside, or what starts a comment
    // or (at the start of a file) a byte-order mark do not travel in either form.
    size_t length = strlen(name);
    if (length == 0 || name[0] == ' ' || name[0] == '\t' || name[length - 1] == ' ' || name[length - 1] == '\t' ||
        strpbrk(name, "\r\n\\") != nullptr || name[0] == ';' || name[0] == '#' ||
        strncmp(name, "\xEF\xBB\xBF", 3) == 0)
        return;
    FUZZ_CHECK(ChecksumReaderNext(&reader, &again) == 1, "written line not read back: %s", written);
    FUZZ_CHECK(strcmp(again.Name, name) == 0 && strcmp(again.Expected, line.Expected) == 0,
               "read back as %s %s from %s", again.Name, again.Expected, written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    int format = in.Byte() % 5;     // also values that are no format
    std::string folder = in.Text(300);
    std::string typed = in.Text(300);
    std::string text = in.Rest();

    ExpectedChecksum expected;
    ExactText copied(text);
    if (ParseChecksumText(copied.Bytes, &expected) == 0) {
        FUZZ_CHECK(expected.Kinds != 0 && (expected.Kinds & ~(CHECKSUM_CRC32 | CHECKSUM_MD5)) == 0, "kinds %d",
                   expected.Kinds);
        FUZZ_CHECK(!(expected.Kinds & CHECKSUM_CRC32) || IsHexText(expected.Crc32, 8), "CRC %s", expected.Crc32);
        FUZZ_CHECK(!(expected.Kinds & CHECKSUM_MD5) || IsHexText(expected.Md5, 32), "MD5 %s", expected.Md5);
    } else {
        FUZZ_CHECK(expected.Kinds == 0, "a refused text leaves no checksum");
    }

    VerifyPlan plan;
    VerifyPlanInit(&plan);
    ExactBuffer file(text.size());
    memcpy(file.Bytes, text.data(), text.size());
    ChecksumReader reader;
    ChecksumReaderInit(&reader, file.Bytes, file.Size, format);
    ChecksumLine line;
    int32_t lines = 0, result;
    ExactText folderText(folder);
    while ((result = ChecksumReaderNext(&reader, &line)) != -2) {
        FUZZ_CHECK(result >= -1 && result <= 1, "result %d", result);
        FUZZ_CHECK(reader.LineNumber == ++lines, "line %d counted as %d", lines, reader.LineNumber);
        if (result != 1)
            continue;
        size_t digits = line.Kind == CHECKSUM_CRC32 ? 8 : 32;
        FUZZ_CHECK(line.Kind == CHECKSUM_CRC32 || line.Kind == CHECKSUM_MD5, "kind %d", line.Kind);
        FUZZ_CHECK(IsHexText(line.Expected, digits), "expected %s", line.Expected);
        FUZZ_CHECK(line.Name[0] != '\0' && strlen(line.Name) < CHECKSUM_NAME_SIZE, "name of %zu", strlen(line.Name));
        CheckWrittenLine(line.Name, line);

        for (size_t room : { (size_t)1, (size_t)16, (size_t)260 }) {
            ExactBuffer full(room);
            int listed = ClassifyListedName(folderText.Bytes, line.Name, full.Bytes, full.Size);
            if (listed != LISTED_INSIDE && listed != LISTED_ABSOLUTE)
                continue;
            FUZZ_CHECK(strlen(full.Bytes) < room, "resolved past its buffer");
            const char *listed = ListedNameOf(folderText.Bytes, full.Bytes);
            FUZZ_CHECK(listed >= full.Bytes && listed <= full.Bytes + strlen(full.Bytes), "listed name outside");
        }
        FUZZ_CHECK(VerifyPlanAddItem(&plan, lines % 7, lines, &line) == 0, "out of memory");
    }

    // The plan: every item judged once, whatever the file's checksums.
    FUZZ_CHECK(VerifyPlanGroup(&plan) == 0, "out of memory");
    int32_t items = 0;
    for (int32_t i = 0; i < plan.RowCount; i++) {
        FUZZ_CHECK(i == 0 || plan.Rows[i - 1].Row < plan.Rows[i].Row, "rows out of order");
        char expectedText[EXPECTED_TEXT_SIZE];
        int failed = VerifyPlanJudge(&plan, i, i % 2 == 0, "CBF43926", "25f9e794323b453885f5181f1b624d0b",
                                     expectedText, sizeof expectedText);
        FUZZ_CHECK(failed >= 0 && failed <= plan.Rows[i].ItemCount, "failed %d", failed);
        FUZZ_CHECK((failed > 0) == (expectedText[0] != '\0'), "expected text '%s' for %d failed", expectedText,
                   failed);
        FUZZ_CHECK(SetFailedExpectation(plan.Rows[i].EntryIndex, expectedText) == 0, "out of memory");
        items += plan.Rows[i].ItemCount;
    }
    FUZZ_CHECK(items == plan.ItemCount, "%d items in rows of %d", items, plan.ItemCount);
    FUZZ_CHECK(plan.Summary.Ok + plan.Summary.Failed.Count == plan.ItemCount, "summary counts");
    char *summary = FormatVerifySummary(&plan.Summary);
    FUZZ_CHECK(summary != nullptr, "no summary");
    free(summary);
    VerifyPlanFree(&plan);
    ClearFailedExpectations();

    ExactText typedText(typed);
    for (size_t room : { (size_t)1, (size_t)8, (size_t)260 }) {
        ExactBuffer name(room);
        int chosen = ChooseSaveName(typedText.Bytes, format, name.Bytes, name.Size);
        FUZZ_CHECK(chosen == -1 || chosen == CHECKSUM_FORMAT_SFV || chosen == CHECKSUM_FORMAT_MD5, "format %d",
                   chosen);
        FUZZ_CHECK(chosen == -1 || strlen(name.Bytes) < room, "save name past its buffer");
    }
    return 0;
}
