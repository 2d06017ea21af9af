// Fuzzing what reads and writes checksum files: a whole file read line by
// line in every format, the same bytes as copied text, the names classified
// against a folder and listed back, the save name, the lines written read
// back, and the verification plan of the whole file through every phase,
// also with one of its allocations failing.
//
// Input: a format byte, a folder text, a typed save name, a plan byte (bit
// 0: absolute names declined; the others pick which files are found, which
// lie outside through a link, and which are one file), the number of the
// plan's allocation that fails (0: none), then the file.
#include "core/checksumfile.h"
#include "core/verifyplan.h"

#include "fuzz_support.h"

#include <vector>

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

// Neither "X:" with a drive letter nor a separator first.
bool IsRelative(const char *name)
{
    bool drive = ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')) && name[1] == ':';
    return !drive && name[0] != '\\' && name[0] != '/';
}

// A line written for name reads back as the same checksum and a name that
// names the same file: SFV puts ".\\" before a name that would read as a
// comment or lose a blank, the sum files write '/' in relative names.
void CheckWrittenLine(const char *name, const ChecksumLine &line)
{
    char written[CHECKSUM_NAME_SIZE + 160];
    ChecksumLine again;
    ChecksumReader reader;
    std::string wanted = name;
    if (line.Kind == MASK_CRC32) {
        uint32_t crc = (uint32_t)strtoul(line.Expected, nullptr, 16);
        if (FormatSfvLine(written, sizeof written, name, crc) != 0)
            return;
        if (name[0] == ';' || name[0] == ' ' || name[0] == '\t' || name[strlen(name) - 1] == ' ' ||
            name[strlen(name) - 1] == '\t')
            wanted = ".\\" + wanted;
        ChecksumReaderInit(&reader, written, strlen(written), CHECKSUM_FORMAT_SFV);
    } else {
        int made = line.Kind & (MASK_MD5 | MASK_SHA256 | MASK_BLAKE3)
                       ? FormatDigestLine(written, sizeof written, name, line.Expected, line.Kind)
                       : -1;
        if (made != 0)
            return;
        if (IsRelative(name))
            for (char &c : wanted)
                c = c == '\\' ? '/' : c;
        ChecksumReaderInit(&reader, written, strlen(written), CHECKSUM_FORMAT_ANY);
    }
    // Blanks at the end are trimmed in either form; a byte-order mark is
    // skipped at the start of a file.
    size_t length = strlen(name);
    if (name[length - 1] == ' ' || name[length - 1] == '\t' || strncmp(name, "\xEF\xBB\xBF", 3) == 0)
        return;
    FUZZ_CHECK(ChecksumReaderNext(&reader, &again) == 1, "written line not read back: %s", written);
    FUZZ_CHECK(wanted == again.Name && strcmp(again.Expected, line.Expected) == 0,
               "read back as %s %s from %s", again.Name, again.Expected, written);
}

// An inside path is the folder, a backslash and the rest; an absolute one
// starts with its drive; neither holds '/', "." or ".." components.
void CheckClassified(const char *folder, const char *name, const char *path, int listed)
{
    size_t length = strlen(path);
    FUZZ_CHECK(strchr(path, '/') == nullptr || listed == LISTED_INSIDE, "'/' in %s", path);
    if (listed == LISTED_ABSOLUTE) {
        FUZZ_CHECK(length >= 3 && path[0] == name[0] && path[1] == ':' && path[2] == '\\', "absolute %s from %s",
                   path, name);
    } else {
        size_t base = strlen(folder);
        while (base > 0 && (folder[base - 1] == '\\' || folder[base - 1] == '/'))
            base--;
        FUZZ_CHECK(length > base && path[base] == '\\', "inside %s not below %s", path, folder);
        for (size_t i = 0; i < base; i++)
            FUZZ_CHECK(path[i] == folder[i] || (path[i] == '\\' && folder[i] == '/'), "inside %s not below %s",
                       path, folder);
        path += base;
    }
    for (const char *at = strstr(path, "\\."); at != nullptr; at = strstr(at + 1, "\\."))
        FUZZ_CHECK(!(at[2] == '\0' || at[2] == '\\' || (at[2] == '.' && (at[3] == '\0' || at[3] == '\\'))),
                   "dot component in %s from %s", path, name);
}

// A path as the plan compares them: A-Z as a-z, '/' as '\\'.
std::string FoldedPath(const char *path)
{
    std::string folded = path;
    for (char &c : folded)
        c = c == '/' ? '\\' : (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
    return folded;
}

// The plan's allocations, one of which fails when FailAt says so.
long AllocationCalls, FailAt;
void *(*const DefaultReallocate)(void *, size_t) = VerifyReallocate;

void *FailingReallocate(void *block, size_t size)
{
    if (size > 0 && ++AllocationCalls == FailAt)
        return nullptr;
    if (size == 0) {
        free(block);
        return nullptr;
    }
    return realloc(block, size);
}

// The plan of the whole file through every phase, as the program runs it.
void CheckPlan(const char *folder, const std::string &text, int format, int planByte, int failAt)
{
    AllocationCalls = 0;
    FailAt = failAt;
    VerifyReallocate = FailingReallocate;
    VerifyPlan plan;
    VerifyPlanInit(&plan);
    ExactBuffer file(text.size());
    memcpy(file.Bytes, text.data(), text.size());
    int read = VerifyPlanRead(&plan, folder, file.Bytes, file.Size, format, nullptr, nullptr);
    FUZZ_CHECK(read == VERIFY_READ_DONE || (read == VERIFY_READ_NO_MEMORY && failAt > 0), "read %d", read);
    FUZZ_CHECK(plan.Bytes <= VerifyPlanBudget(file.Size), "%zu bytes of plan for %zu of text", plan.Bytes, file.Size);
    if (read == 0) {
        int32_t absolute = 0;
        for (int32_t i = 0; i < plan.FileCount; i++) {
            const VerifyFile &listed = plan.Files[i];
            absolute += listed.Listing == LISTED_ABSOLUTE;
            FUZZ_CHECK(listed.ValueCount > 0 && listed.FirstValue >= 0, "file %d without values", i);
            FUZZ_CHECK((listed.State == VERIFY_FILE_PENDING) ==
                           (listed.Listing == LISTED_INSIDE || listed.Listing == LISTED_ABSOLUTE),
                       "state %d of a listing %d", listed.State, listed.Listing);
            for (int32_t j = 0; j < i && j < 64; j++)
                FUZZ_CHECK(plan.Files[j].Listing != listed.Listing || strcasecmp(plan.Files[j].Path, listed.Path) != 0,
                           "%s listed twice", listed.Path);
        }
        FUZZ_CHECK(absolute == plan.AbsoluteCount, "%d absolute, counted %d", absolute, plan.AbsoluteCount);
        if (planByte & 1)
            VerifyPlanRefuseAbsolute(&plan);
        // Identities: a file is another one when the plan byte says so.
        std::vector<VerifyFound> identities(plan.FileCount + 1);
        for (int32_t i = 0; i < plan.FileCount; i++) {
            if (((planByte >> 1) + i) % 7 == 0)
                VerifyPlanSetOutside(&plan, i);
            VerifyPlanSetFound(&plan, i, ((planByte >> 1) + i) % 3 != 0);
            identities[i] = VerifyFound{ 1, (uint64_t)(i % ((planByte >> 4) + 2)), 1, -1 };
        }
        FUZZ_CHECK(VerifyPlanFindSameFiles(&plan, identities.data()) == 0, "no memory to find files named twice");
        for (int32_t i = 0, next = 0; i < plan.FileCount; i++) {
            int32_t same = identities[i].Same;
            uint64_t index = identities[i].Index;
            FUZZ_CHECK(same >= 0 && same <= i, "file %d the same as %d", i, same);
            FUZZ_CHECK(same == i || (plan.Files[same].State == VERIFY_FILE_FOUND && identities[same].Index == index &&
                                     (index != 0 || FoldedPath(plan.Files[same].Path) == FoldedPath(plan.Files[i].Path))),
                       "file %d taken for %d", i, same);
            VerifyPlanSetRow(&plan, i, same < i ? plan.Files[same].Row : (next++ * 7) % 11, i);
        }
        int grouped = VerifyPlanGroup(&plan);
        FUZZ_CHECK(grouped == 0 || (grouped == -1 && failAt > 0), "grouped %d", grouped);
        for (int32_t i = 0; grouped == 0 && i < plan.RowCount; i++) {
            const VerifyRow &row = plan.Rows[i];
            FUZZ_CHECK(i == 0 || plan.Rows[i - 1].Row < row.Row, "rows out of order, or a row read twice");
            FUZZ_CHECK(plan.Files[row.File].State == VERIFY_FILE_FOUND, "a row for a file not found");
            int32_t values = 0;
            for (int32_t v = plan.Files[row.File].FirstValue; v >= 0 && values < 64; v = plan.Values[v].Next, values++)
                for (int32_t w = plan.Values[v].Next; w >= 0; w = plan.Values[w].Next)
                    FUZZ_CHECK(plan.Values[v].Kind != plan.Values[w].Kind || strcmp(plan.Values[v].Text, plan.Values[w].Text),
                               "%s expected twice of one file", plan.Values[v].Text);
            VerifyComputed found = { "CBF43926", "d41d8cd98f00b204e9800998ecf8427e", nullptr, nullptr, nullptr };
            int failed = VerifyPlanJudge(&plan, i, i % 3 != 0, &found);
            size_t shown = strlen(plan.ExpectedText);
            FUZZ_CHECK(failed >= 0 && failed <= plan.Files[row.File].ValueCount, "failed %d", failed);
            FUZZ_CHECK((failed > 0) == (shown > 0) && shown < plan.ExpectedSize, "expected text '%s' for %d failed",
                       plan.ExpectedText, failed);
            FUZZ_CHECK(shown == 0 || (plan.ExpectedText[0] != ' ' && plan.ExpectedText[shown - 1] != ' '),
                       "stray separator in '%s'", plan.ExpectedText);
        }
        const VerifySummary &summary = plan.Summary;
        int32_t counted = summary.Ok + summary.Failed.Count + summary.Missing.Count + summary.NotOpened.Count;
        FUZZ_CHECK(grouped != 0 || counted == summary.Listed, "summary counts %d files of %d", counted,
                   summary.Listed);
        char *shown = FormatVerifySummary(&summary);
        FUZZ_CHECK(shown != nullptr, "no summary");
        free(shown);
    }
    VerifyPlanFree(&plan);
    VerifyReallocate = DefaultReallocate;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    int format = in.Byte() % (CHECKSUM_FORMAT_LAST + 2);     // also a value that is no format
    std::string folder = in.Text(300);
    std::string typed = in.Text(300);
    int planByte = in.Byte();
    int failAt = in.Byte();
    std::string text = in.Rest();

    ExpectedChecksum expected;
    ExactText copied(text);
    if (ParseChecksumText(copied.Bytes, &expected) == 0) {
        FUZZ_CHECK(expected.Kinds != 0 && (expected.Kinds & ~MASK_ALL) == 0, "kinds %d", expected.Kinds);
        for (int kind = 0; kind < KIND_COUNT; kind++) {
            int mask = 1 << kind;
            const char *digits = expected.Digits[kind];
            FUZZ_CHECK(((expected.Kinds | expected.Alternative) & mask) ? IsHexText(digits, ChecksumDigits(mask))
                                                                       : digits[0] == '\0',
                       "kind %d: '%s'", mask, digits);
        }
    } else {
        FUZZ_CHECK(expected.Kinds == 0, "a refused text leaves no checksum");
    }

    ExactBuffer file(text.size());
    memcpy(file.Bytes, text.data(), text.size());
    ChecksumReader reader;
    ChecksumReaderInit(&reader, file.Bytes, file.Size, format);
    ChecksumLine line;
    int32_t lines = 0, result;
    ExactText folderText(folder);
    while ((result = ChecksumReaderNext(&reader, &line)) != READ_END) {
        FUZZ_CHECK(result >= -1 && result <= 1, "result %d", result);
        FUZZ_CHECK(reader.LineNumber == ++lines, "line %d counted as %d", lines, reader.LineNumber);
        if (result != 1)
            continue;
        size_t digits = ChecksumDigits(line.Kind);
        FUZZ_CHECK(digits > 0 && IsHexText(line.Expected, digits), "kind %d: %s", line.Kind, line.Expected);
        FUZZ_CHECK(line.Name[0] != '\0' && strlen(line.Name) < CHECKSUM_NAME_SIZE, "name of %zu", strlen(line.Name));
        FUZZ_CHECK(IsUtf8(line.Name, strlen(line.Name)), "name not in UTF-8: %s", line.Name);
        for (const char *at = line.Name; *at != '\0'; at++)
            FUZZ_CHECK((unsigned char)*at >= 0x20, "control byte in %s", line.Name);
        CheckWrittenLine(line.Name, line);

        for (size_t room : { (size_t)1, (size_t)16, (size_t)260 }) {
            ExactBuffer full(room);
            int listed = ClassifyListedName(folderText.Bytes, line.Name, full.Bytes, full.Size);
            FUZZ_CHECK(listed >= LISTED_TOO_LONG && listed <= LISTED_REFUSED, "listed %d", listed);
            if (listed != LISTED_INSIDE && listed != LISTED_ABSOLUTE)
                continue;
            FUZZ_CHECK(strlen(full.Bytes) < room, "resolved past its buffer");
            CheckClassified(folderText.Bytes, line.Name, full.Bytes, listed);
            const char *relative = ListedNameOf(folderText.Bytes, full.Bytes);
            FUZZ_CHECK(relative >= full.Bytes && relative <= full.Bytes + strlen(full.Bytes), "listed name outside");
        }
    }
    CheckPlan(folderText.Bytes, text, format, planByte, failAt);

    // Names converted from Windows-1252 are UTF-8 and fit where they are said to.
    std::string head = text.substr(0, 200).c_str();
    for (size_t room : { (size_t)1, (size_t)64, (size_t)601 }) {
        ExactBuffer converted(room);
        if (Cp1252ToUtf8(head.data(), head.size(), converted.Bytes, converted.Size) == 0)
            FUZZ_CHECK(IsUtf8(converted.Bytes, strlen(converted.Bytes)) && strlen(converted.Bytes) >= head.size(),
                       "converted badly");
        else
            FUZZ_CHECK(room < 601 && converted.Bytes[0] == '\0', "conversion refused in %zu bytes", room);
    }

    ExactText typedText(typed);
    for (size_t room : { (size_t)1, (size_t)8, (size_t)260 }) {
        ExactBuffer name(room);
        int chosen = ChooseSaveName(typedText.Bytes, format, name.Bytes, name.Size);
        FUZZ_CHECK(chosen == -1 || SavedFormatKind(chosen) != 0, "format %d", chosen);
        FUZZ_CHECK(chosen == -1 || strlen(name.Bytes) < room, "save name past its buffer");
    }
    return 0;
}
