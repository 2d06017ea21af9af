// The plan of a verification and the expectations it leaves on failed files.
#include "core/verifyplan.h"

#include "app/textutil.h"
#include "core/filelist.h"

#include <stdlib.h>
#include <string.h>

void VerifyPlanInit(VerifyPlan *plan)
{
    memset(plan, 0, sizeof *plan);
    plan->FirstFailedRow = -1;
    VerifySummaryInit(&plan->Summary);
}

int VerifyPlanAddItem(VerifyPlan *plan, int32_t row, int32_t entryIndex, const ChecksumLine *line)
{
    if (plan->ItemCount == plan->ItemCapacity) {
        int32_t capacity = plan->ItemCapacity ? plan->ItemCapacity * 2 : 64;
        VerifyItem *items = (VerifyItem *)realloc(plan->Items, (size_t)capacity * sizeof *items);
        if (items == nullptr)
            return -1;
        plan->Items = items;
        plan->ItemCapacity = capacity;
    }
    char *name = DuplicateText(line->Name);
    if (name == nullptr)
        return -1;
    VerifyItem *item = &plan->Items[plan->ItemCount];
    item->Row = row;
    item->EntryIndex = entryIndex;
    item->Order = plan->ItemCount;
    item->Kind = line->Kind;
    memcpy(item->Expected, line->Expected, sizeof item->Expected);
    item->Name = name;
    plan->ItemCount++;
    return 0;
}

static int CompareItems(const void *a, const void *b)
{
    const VerifyItem *x = (const VerifyItem *)a, *y = (const VerifyItem *)b;
    if (x->Row != y->Row)
        return x->Row < y->Row ? -1 : 1;
    return x->Order < y->Order ? -1 : x->Order > y->Order;
}

int VerifyPlanGroup(VerifyPlan *plan)
{
    free(plan->Rows);
    plan->Rows = nullptr;
    plan->RowCount = 0;
    if (plan->ItemCount == 0)
        return 0;
    qsort(plan->Items, (size_t)plan->ItemCount, sizeof *plan->Items, CompareItems);
    plan->Rows = (VerifyRow *)calloc((size_t)plan->ItemCount, sizeof *plan->Rows);
    if (plan->Rows == nullptr)
        return -1;
    for (int32_t i = 0; i < plan->ItemCount; i++) {
        const VerifyItem *item = &plan->Items[i];
        VerifyRow *row = plan->RowCount > 0 ? &plan->Rows[plan->RowCount - 1] : nullptr;
        if (row == nullptr || row->Row != item->Row) {
            row = &plan->Rows[plan->RowCount++];
            row->Row = item->Row;
            row->EntryIndex = item->EntryIndex;
            row->FirstItem = i;
        }
        row->Mask |= item->Kind;
        row->ItemCount++;
    }
    return 0;
}

// Whether the values in text, two spaces apart, hold value whole (a CRC's
// digits may also stand inside an MD5).
static bool HoldsValue(const char *text, const char *value)
{
    size_t length = strlen(value);
    for (const char *at = strstr(text, value); at != nullptr; at = strstr(at + 1, value))
        if ((at == text || at[-1] == ' ') && (at[length] == '\0' || at[length] == ' '))
            return true;
    return false;
}

int VerifyPlanJudge(VerifyPlan *plan, int32_t rowIndex, bool computed, const char *crcText, const char *md5Text,
                    char *expected, size_t size)
{
    const VerifyRow *row = &plan->Rows[rowIndex];
    int failed = 0;
    if (size > 0)
        expected[0] = '\0';
    for (int32_t i = row->FirstItem; i < row->FirstItem + row->ItemCount; i++) {
        const VerifyItem *item = &plan->Items[i];
        const char *found = item->Kind == CHECKSUM_CRC32 ? crcText : md5Text;
        bool ok = computed && found != nullptr && AsciiEqualNoCase(found, item->Expected);
        VerifySummaryAdd(&plan->Summary, ok ? VERIFY_OK : VERIFY_FAILED, item->Name);
        if (ok)
            continue;
        // Each expected value once, however often the file is listed with it.
        if (!HoldsValue(expected, item->Expected)) {
            if (expected[0] != '\0')
                AppendText(expected, size, "  ");
            AppendText(expected, size, item->Expected);
        }
        failed++;
    }
    if (failed > 0 && (plan->FirstFailedRow < 0 || row->Row < plan->FirstFailedRow))
        plan->FirstFailedRow = row->Row;
    return failed;
}

void VerifyPlanFree(VerifyPlan *plan)
{
    for (int32_t i = 0; i < plan->ItemCount; i++)
        free(plan->Items[i].Name);
    free(plan->Items);
    free(plan->Rows);
    VerifySummaryFree(&plan->Summary);
    VerifyPlanInit(plan);
}

// Texts by FileList index; null where there is none. Indices are never
// reused, so a text never outlives its file's place in the table.
static char **Expectations;
static int32_t ExpectationCount;

int SetFailedExpectation(int32_t index, const char *text)
{
    if (index < 0)
        return -1;
    char *copy = DuplicateText(text);
    if (copy == nullptr)
        return -1;
    LockEntryResults();
    if (index >= ExpectationCount) {
        int32_t count = index + 1 > ExpectationCount * 2 ? index + 1 : ExpectationCount * 2;
        char **grown = (char **)realloc(Expectations, (size_t)count * sizeof *grown);
        if (grown == nullptr) {
            UnlockEntryResults();
            free(copy);
            return -1;
        }
        memset(grown + ExpectationCount, 0, (size_t)(count - ExpectationCount) * sizeof *grown);
        Expectations = grown;
        ExpectationCount = count;
    }
    free(Expectations[index]);
    Expectations[index] = copy;
    UnlockEntryResults();
    return 0;
}

bool CopyFailedExpectation(int32_t index, char *out, size_t size)
{
    LockEntryResults();
    bool found = index >= 0 && index < ExpectationCount && Expectations[index] != nullptr &&
                 CopyText(out, size, Expectations[index]) == 0;
    UnlockEntryResults();
    return found;
}

void ClearFailedExpectation(int32_t index)
{
    char *text = nullptr;
    LockEntryResults();
    if (index >= 0 && index < ExpectationCount) {
        text = Expectations[index];
        Expectations[index] = nullptr;
    }
    UnlockEntryResults();
    free(text);
}

void ClearFailedExpectations(void)
{
    LockEntryResults();
    char **texts = Expectations;
    int32_t count = ExpectationCount;
    Expectations = nullptr;
    ExpectationCount = 0;
    UnlockEntryResults();
    for (int32_t i = 0; i < count; i++)
        free(texts[i]);
    free(texts);
}
