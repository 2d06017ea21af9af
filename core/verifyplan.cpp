// The plan of a verification and the expectations it leaves on failed files.
// A crafted checksum file cannot blow the plan up: identical listings merge
// as they are read, so memory follows the distinct files and values, and
// that memory has a bound the size of the file sets; the tables hash with a
// key drawn for each plan, so names cannot be made to collide; texts live in
// blocks that never move.
#include "core/verifyplan.h"

#include "base/program.h"
#include "base/textutil.h"
#include "core/filelist.h"
#include "core/keyedhash.h"

#include <stdlib.h>
#include <string.h>

static_assert((uint64_t)VERIFY_MAX_FILE_SIZE * 4 + 4096 <= (uint64_t)SIZE_MAX,
              "a checksum file's text, its terminator and its names converted to UTF-8 fit a size_t");
static_assert(VERIFY_MAX_FILE_SIZE < INT32_MAX / 2, "lines, files and values are counted in int32_t");

enum {
    ARENA_BLOCK_SIZE = 16384,   // texts of a plan, in blocks of at least this size
    FIRST_CAPACITY = 16,        // files and values, before they double
    REPORT_STEP = 65536,        // bytes of text read between two progress reports
};

// The plan's budget while it is read. Four times the text is room for the
// plan of an honest file of long lines (a distinct file costs 150 to 350
// bytes, its path and values counted), and 64 MiB at least lets a file of
// short lines list a quarter of a million files. The most is lower than four times the largest file because a
// 32-bit program has 2 GiB of addresses: a 256 MiB text read whole beside
// four times as much plan would hold 1.25 GiB, leaving 0.75 GiB for the
// program, its DLLs, thread stacks, the list, the history and the heap's
// fragments, too little to be sure that the window can still show the
// message that says what happened. With the plan held to 512 MiB, a read
// holds at most 256 + 512 = 768 MiB. The text is freed before the files are
// looked up; in a 32-bit program the look-ups (24 bytes a file), the search
// for files named twice (12) and the rows (16) then add at most 52 bytes a
// file, 208 MiB for 4 million files: 720 MiB beside the 768 of the read, so
// the verification never holds more than 768 MiB and leaves 1.25 GiB.
enum : size_t {
    PLAN_BUDGET_FACTOR = 4,
    PLAN_BUDGET_LEAST = (size_t)64 << 20,
    PLAN_BUDGET_MOST = (size_t)512 << 20,
};
static_assert(VERIFY_MAX_FILE_SIZE <= SIZE_MAX / PLAN_BUDGET_FACTOR, "the budget of the largest file fits a size_t");

static void *ReallocateBlock(void *block, size_t size)
{
    if (size == 0) {
        free(block);
        return nullptr;
    }
    return realloc(block, size);
}

void *(*VerifyReallocate)(void *block, size_t size) = ReallocateBlock;

static void Release(void *block)
{
    if (block != nullptr)
        VerifyReallocate(block, 0);
}

// Every block of a plan: block of oldSize bytes (or null) made size bytes,
// counted in Bytes. Refused (Exceeded set) when it would pass the budget,
// the old block counted with the new one: moving, both are held at once.
static void *PlanReallocate(VerifyPlan *plan, void *block, size_t oldSize, size_t size)
{
    if (plan->Budget != 0 && (size > plan->Budget || plan->Bytes + size > plan->Budget)) {
        plan->Exceeded = true;
        return nullptr;
    }
    void *moved = VerifyReallocate(block, size);
    if (moved != nullptr)
        plan->Bytes = plan->Bytes - oldSize + size;
    return moved;
}

static void PlanRelease(VerifyPlan *plan, void *block, size_t size)
{
    if (block == nullptr)
        return;
    VerifyReallocate(block, 0);
    plan->Bytes -= size;
}

// ---- The hash of keys: SipHash-1-3 under the plan's key ----

// Takes the text's bytes up to its terminator, paths folded when fold is set.
static void HashText(KeyedHash *hash, const char *text, bool fold)
{
    bool second = false;
    for (; *text != '\0'; text++)
        KeyedHashByte(hash, (unsigned char)(fold ? PathFoldAt(text, true, &second) : *text));
}

static uint32_t HashEnd(KeyedHash *hash)
{
    KeyedHashEndBytes(hash);
    uint64_t value = KeyedHashEnd(hash);
    return (uint32_t)(value ^ (value >> 32));
}

// ---- Texts in blocks that never move ----

struct VerifyArenaBlock {
    VerifyArenaBlock *Previous;
    size_t Used, Size;
    char Bytes[1];
};

// A copy of the length bytes at text with a terminator, or null when
// memory ran out.
static const char *ArenaCopy(VerifyPlan *plan, const char *text, size_t length)
{
    VerifyArenaBlock *block = plan->Arena;
    if (block == nullptr || block->Size - block->Used < length + 1) {
        size_t size = length + 1 > (size_t)ARENA_BLOCK_SIZE ? length + 1 : (size_t)ARENA_BLOCK_SIZE;
        block = (VerifyArenaBlock *)PlanReallocate(plan, nullptr, 0, sizeof *block + size);
        if (block == nullptr)
            return nullptr;
        block->Previous = plan->Arena;
        block->Used = 0;
        block->Size = size;
        plan->Arena = block;
    }
    char *copy = block->Bytes + block->Used;
    memcpy(copy, text, length);
    copy[length] = '\0';
    block->Used += length + 1;
    return copy;
}

// ---- Open-addressing tables of indexes ----

// Whether entry index of the plan has the key looked for.
typedef bool (*SameKeyFn)(const VerifyPlan *plan, int32_t index, const void *key);

// The slot of the entry with key, or the empty slot where it would go.
static VerifySlot *TableFind(const VerifyPlan *plan, const VerifyTable *table, uint32_t hash, SameKeyFn same,
                             const void *key)
{
    size_t mask = table->Size - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
        VerifySlot *slot = &table->Slots[at];
        if (slot->Index < 0 || (slot->Hash == hash && same(plan, slot->Index, key)))
            return slot;
    }
}

// Makes room for one more entry, at most three slots in four used (keyed
// hashes spread well enough for that). Returns 0, or -1 when memory ran out
// (the table unchanged).
static int TableReserve(VerifyPlan *plan, VerifyTable *table)
{
    if ((table->Used + 1) * 4 <= table->Size * 3)
        return 0;
    size_t size = table->Size ? table->Size * 2 : (size_t)FIRST_CAPACITY;
    if (size > SIZE_MAX / sizeof(VerifySlot))
        return -1;
    VerifySlot *slots = (VerifySlot *)PlanReallocate(plan, nullptr, 0, size * sizeof *slots);
    if (slots == nullptr)
        return -1;
    for (size_t i = 0; i < size; i++)
        slots[i].Index = -1;
    for (size_t i = 0; i < table->Size; i++) {
        const VerifySlot *old = &table->Slots[i];
        if (old->Index < 0)
            continue;
        size_t at = old->Hash & (size - 1);
        while (slots[at].Index >= 0)
            at = (at + 1) & (size - 1);
        slots[at] = *old;
    }
    PlanRelease(plan, table->Slots, table->Size * sizeof *slots);
    table->Slots = slots;
    table->Size = size;
    return 0;
}

// Makes room for one more item in an array of count items of itemSize,
// growing it by half (less room unused than by doubling). Returns 0, or -1
// when memory ran out (the array unchanged).
static int ArrayReserve(VerifyPlan *plan, void **items, int32_t count, int32_t *capacity, size_t itemSize)
{
    if (count < *capacity)
        return 0;
    if (*capacity > INT32_MAX / 3 * 2 || (size_t)*capacity / 2 * 3 + FIRST_CAPACITY > SIZE_MAX / itemSize)
        return -1;
    int32_t grown = *capacity ? *capacity / 2 * 3 : FIRST_CAPACITY;
    void *larger = PlanReallocate(plan, *items, (size_t)*capacity * itemSize, (size_t)grown * itemSize);
    if (larger == nullptr)
        return -1;
    *items = larger;
    *capacity = grown;
    return 0;
}

// ---- Files and values ----

struct PathKey {
    int Listing;
    const char *Text;
};

static bool SamePath(const VerifyPlan *plan, int32_t index, const void *key)
{
    const VerifyFile *file = &plan->Files[index];
    const PathKey *path = (const PathKey *)key;
    if (file->Listing != path->Listing)
        return false;
    // Paths compare with ASCII letters without case and '/' as '\'.
    const char *a = file->Path, *b = path->Text;
    bool secondA = false, secondB = false;
    for (; *a != '\0' && PathFoldAt(a, true, &secondA) == PathFoldAt(b, true, &secondB); a++, b++) {
    }
    return *a == '\0' && *b == '\0';
}

// The file listed under key (adding it, named name), or -1 when memory ran out.
static int32_t FindOrAddFile(VerifyPlan *plan, const PathKey *key, const char *name)
{
    KeyedHash state;
    KeyedHashStart(&state, plan->Key);
    char listing[2] = { (char)('0' + key->Listing), '\0' };
    HashText(&state, listing, false);
    HashText(&state, key->Text, true);
    uint32_t hash = HashEnd(&state);
    if (TableReserve(plan, &plan->PathTable) != 0)
        return -1;
    VerifySlot *slot = TableFind(plan, &plan->PathTable, hash, SamePath, key);
    if (slot->Index >= 0)
        return slot->Index;
    if (plan->FileCount >= plan->MaxFiles) {
        plan->Exceeded = true;
        return -1;
    }
    if (ArrayReserve(plan, (void **)&plan->Files, plan->FileCount, &plan->FileCapacity, sizeof *plan->Files) != 0)
        return -1;
    VerifyFile *file = &plan->Files[plan->FileCount];
    memset(file, 0, sizeof *file);
    // The name as listed, kept apart only when the path does not end with it.
    size_t length = strlen(key->Text), nameLength = strlen(name);
    file->Path = ArenaCopy(plan, key->Text, length);
    bool tail = nameLength <= length && strcmp(key->Text + length - nameLength, name) == 0;
    file->Name = file->Path != nullptr && tail ? file->Path + length - nameLength : ArenaCopy(plan, name, nameLength);
    if (file->Path == nullptr || file->Name == nullptr)
        return -1;
    file->Listing = key->Listing;
    file->State = key->Listing == LISTED_REFUSED    ? VERIFY_FILE_NOT_OPENED
                  : key->Listing == LISTED_TOO_LONG ? VERIFY_FILE_MISSING
                                                    : VERIFY_FILE_PENDING;
    file->FirstValue = file->LastValue = -1;
    file->Row = file->EntryIndex = -1;
    slot->Index = plan->FileCount;
    slot->Hash = hash;
    plan->PathTable.Used++;
    if (key->Listing == LISTED_ABSOLUTE)
        plan->AbsoluteCount++;
    return plan->FileCount++;
}

struct ValueKey {
    int32_t File;
    int Kind;
    const char *Text;
};

static bool SameValue(const VerifyPlan *plan, int32_t index, const void *key)
{
    const VerifyValue *value = &plan->Values[index];
    const ValueKey *wanted = (const ValueKey *)key;
    return value->File == wanted->File && value->Kind == wanted->Kind && strcmp(value->Text, wanted->Text) == 0;
}

// Adds the value of kind to file unless the file has it already. Returns
// 0, or -1 when memory ran out.
static int AddValue(VerifyPlan *plan, int32_t fileIndex, int kind, int alternative, const char *text)
{
    KeyedHash state;
    KeyedHashStart(&state, plan->Key);
    // The file index and the kind as digits: no NUL byte inside the key.
    char head[16];
    FormatText(head, sizeof head, "%d:%d:", (int)fileIndex, kind);
    HashText(&state, head, false);
    HashText(&state, text, false);
    uint32_t hash = HashEnd(&state);
    if (TableReserve(plan, &plan->ValueTable) != 0)
        return -1;
    ValueKey key = { fileIndex, kind, text };
    VerifySlot *slot = TableFind(plan, &plan->ValueTable, hash, SameValue, &key);
    if (slot->Index >= 0)
        return 0;
    if (ArrayReserve(plan, (void **)&plan->Values, plan->ValueCount, &plan->ValueCapacity, sizeof *plan->Values) != 0)
        return -1;
    size_t length = strlen(text);
    VerifyValue *value = &plan->Values[plan->ValueCount];
    value->File = fileIndex;
    value->Kind = kind;
    value->Alternative = alternative;
    value->Text = ArenaCopy(plan, text, length);
    value->Next = -1;
    if (value->Text == nullptr)
        return -1;
    VerifyFile *file = &plan->Files[fileIndex];
    if (file->LastValue >= 0)
        plan->Values[file->LastValue].Next = plan->ValueCount;
    else
        file->FirstValue = plan->ValueCount;
    file->LastValue = plan->ValueCount;
    file->ValueCount++;
    file->Mask |= kind | alternative;
    file->ExpectedLength += length + 2;
    slot->Index = plan->ValueCount;
    slot->Hash = hash;
    plan->ValueTable.Used++;
    plan->ValueCount++;
    return 0;
}

// ---- The phases ----

void VerifyPlanInit(VerifyPlan *plan)
{
    memset(plan, 0, sizeof *plan);
    plan->FirstFailedRow = -1;
    plan->MaxFiles = VERIFY_MAX_FILES;
    VerifySummaryInit(&plan->Summary);
    DrawHashKey(plan->Key);
}

size_t VerifyPlanBudget(size_t length)
{
    size_t budget = length > PLAN_BUDGET_MOST / PLAN_BUDGET_FACTOR ? PLAN_BUDGET_MOST : length * PLAN_BUDGET_FACTOR;
    return budget < PLAN_BUDGET_LEAST ? PLAN_BUDGET_LEAST : budget;
}

// VerifyPlanRead of a text in UTF-8 (a mark or none) or in the system's
// code page; path has room for the longest path a listed name makes.
static int ReadPlanText(VerifyPlan *plan, const char *folder, const char *text, size_t length, int format,
                        VerifyReportFn report, void *context, char *path, size_t pathSize)
{
    plan->Budget = VerifyPlanBudget(length);
    ChecksumReader reader;
    ChecksumReaderInit(&reader, text, length, format);
    ChecksumLine line;
    size_t nextReport = 0;
    int read;
    while ((read = ChecksumReaderNext(&reader, &line)) != READ_END) {
        if (report != nullptr && reader.Next >= nextReport) {
            if (report(context, (int32_t)((uint64_t)reader.Next * 100 / (length ? length : 1))) != 0)
                return VERIFY_READ_CANCELLED;
            nextReport = reader.Next + REPORT_STEP;
        }
        if (read == READ_NOT_UNDERSTOOD)
            VerifySummaryAddNotUnderstood(&plan->Summary, reader.LineNumber);
        if (read != READ_CHECKSUM_LINE)
            continue;
        PathKey key;
        key.Listing = ClassifyListedName(folder, line.Name, path, pathSize);
        key.Text = key.Listing == LISTED_INSIDE || key.Listing == LISTED_ABSOLUTE ? path : line.Name;
        int32_t file = FindOrAddFile(plan, &key, line.Name);
        if (file < 0 || AddValue(plan, file, line.Kind, line.Alternative, line.Expected) != 0)
            return plan->Exceeded ? VERIFY_READ_TOO_MANY : VERIFY_READ_NO_MEMORY;
    }
    // What comes after the read follows from the files it found.
    plan->Budget = 0;
    plan->Summary.Listed = plan->FileCount;
    return VERIFY_READ_DONE;
}

int VerifyPlanRead(VerifyPlan *plan, const char *folder, const char *text, size_t length, int format,
                   VerifyReportFn report, void *context)
{
    if (length > VERIFY_MAX_FILE_SIZE)
        return VERIFY_READ_TOO_LARGE;
    char *utf8 = nullptr;
    size_t utf8Length = 0;
    int converted = Utf16ChecksumText(text, length, &utf8, &utf8Length);
    // A listed name resolves to the folder, a separator and at most the name.
    size_t pathSize = strlen(folder) + CHECKSUM_NAME_SIZE + 2;
    char *path = converted >= 0 ? (char *)malloc(pathSize) : nullptr;
    int read = VERIFY_READ_NO_MEMORY;
    if (path != nullptr)
        read = converted > 0 ? ReadPlanText(plan, folder, utf8, utf8Length, format, report, context, path, pathSize)
                             : ReadPlanText(plan, folder, text, length, format, report, context, path, pathSize);
    free(path);
    free(utf8);
    return read;
}

void VerifyPlanRefuseAbsolute(VerifyPlan *plan)
{
    for (int32_t i = 0; i < plan->FileCount; i++) {
        VerifyFile *file = &plan->Files[i];
        if (file->Listing == LISTED_ABSOLUTE && file->State == VERIFY_FILE_PENDING)
            file->State = VERIFY_FILE_NOT_OPENED;
    }
}

void VerifyPlanSetFound(VerifyPlan *plan, int32_t fileIndex, bool found)
{
    if (fileIndex < 0 || fileIndex >= plan->FileCount)
        return;
    VerifyFile *file = &plan->Files[fileIndex];
    if (file->State == VERIFY_FILE_PENDING)
        file->State = found ? VERIFY_FILE_FOUND : VERIFY_FILE_MISSING;
}

void VerifyPlanSetOutside(VerifyPlan *plan, int32_t fileIndex)
{
    if (fileIndex >= 0 && fileIndex < plan->FileCount && plan->Files[fileIndex].State == VERIFY_FILE_PENDING)
        plan->Files[fileIndex].State = VERIFY_FILE_NOT_OPENED;
}

// A found file as VerifyPlanFindSameFiles sorts them.
struct FoundKey {
    const char *Path;
    const VerifyFound *Found;
    int32_t File;
};

// Known identities first, by volume and index; then the others by path,
// folded as the plan keys them; the same file by its index in the plan.
static int CompareFound(const void *a, const void *b)
{
    const FoundKey *x = (const FoundKey *)a, *y = (const FoundKey *)b;
    bool knownX = x->Found->Index != 0, knownY = y->Found->Index != 0;
    if (knownX != knownY)
        return knownX ? -1 : 1;
    if (knownX && x->Found->Volume != y->Found->Volume)
        return x->Found->Volume < y->Found->Volume ? -1 : 1;
    if (knownX && x->Found->Index != y->Found->Index)
        return x->Found->Index < y->Found->Index ? -1 : 1;
    bool secondX = false, secondY = false;
    for (const char *p = x->Path, *q = y->Path; !knownX; p++, q++) {
        unsigned char folded = (unsigned char)PathFoldAt(p, true, &secondX);
        unsigned char other = (unsigned char)PathFoldAt(q, true, &secondY);
        if (folded != other)
            return folded < other ? -1 : 1;
        if (folded == '\0')
            break;
    }
    return x->File < y->File ? -1 : x->File > y->File;
}

int VerifyPlanFindSameFiles(const VerifyPlan *plan, VerifyFound *found)
{
    FoundKey *keys = (FoundKey *)malloc(((size_t)plan->FileCount + 1) * sizeof *keys);
    if (keys == nullptr)
        return -1;
    size_t count = 0;
    for (int32_t i = 0; i < plan->FileCount; i++) {
        found[i].Same = i;
        if (plan->Files[i].State == VERIFY_FILE_FOUND)
            keys[count++] = FoundKey{ plan->Files[i].Path, &found[i], i };
    }
    qsort(keys, count, sizeof *keys, CompareFound);
    for (size_t start = 0, end; start < count; start = end) {
        for (end = start + 1; end < count; end++) {
            FoundKey first = keys[start], next = keys[end];
            first.File = next.File = 0;
            if (CompareFound(&first, &next) != 0)
                break;
            found[keys[end].File].Same = keys[start].File;
        }
    }
    free(keys);
    return 0;
}

void VerifyPlanSetRow(VerifyPlan *plan, int32_t fileIndex, int32_t row, int32_t entryIndex)
{
    if (fileIndex < 0 || fileIndex >= plan->FileCount || row < 0)
        return;
    VerifyFile *file = &plan->Files[fileIndex];
    if (file->State != VERIFY_FILE_FOUND)
        return;
    file->Row = row;
    file->EntryIndex = entryIndex;
}

static int CompareRows(const void *a, const void *b)
{
    const VerifyRow *x = (const VerifyRow *)a, *y = (const VerifyRow *)b;
    if (x->Row != y->Row)
        return x->Row < y->Row ? -1 : 1;
    return x->File < y->File ? -1 : x->File > y->File;
}

// Gives file into the values of file from, which then has none.
static void JoinValues(VerifyPlan *plan, int32_t into, int32_t from)
{
    VerifyFile *keeper = &plan->Files[into], *other = &plan->Files[from];
    if (other->FirstValue < 0)
        return;
    if (keeper->LastValue >= 0)
        plan->Values[keeper->LastValue].Next = other->FirstValue;
    else
        keeper->FirstValue = other->FirstValue;
    keeper->LastValue = other->LastValue;
    keeper->ValueCount += other->ValueCount;
    keeper->Mask |= other->Mask;
    keeper->ExpectedLength += other->ExpectedLength;
    other->FirstValue = other->LastValue = -1;
    other->ValueCount = other->Mask = 0;
    other->ExpectedLength = 0;
}

// A value of a file, as DropRepeatedValues sorts them.
struct ValueOrder {
    const char *Text;
    int Kind;
    int32_t Index;
};

static int CompareValueOrders(const void *a, const void *b)
{
    const ValueOrder *x = (const ValueOrder *)a, *y = (const ValueOrder *)b;
    if (x->Kind != y->Kind)
        return x->Kind < y->Kind ? -1 : 1;
    int text = strcmp(x->Text, y->Text);
    if (text != 0)
        return text;
    return x->Index < y->Index ? -1 : x->Index > y->Index;
}

// Keeps one of each kind and value of the file's values (joined from files
// that listed the same one), in listed order. Returns 0, or -1 when memory
// ran out.
static int DropRepeatedValues(VerifyPlan *plan, int32_t fileIndex)
{
    VerifyFile *file = &plan->Files[fileIndex];
    size_t count = (size_t)file->ValueCount, size = count * sizeof(ValueOrder);
    ValueOrder *order = (ValueOrder *)PlanReallocate(plan, nullptr, 0, size);
    if (order == nullptr)
        return -1;
    size_t taken = 0;
    for (int32_t i = file->FirstValue; i >= 0; i = plan->Values[i].Next)
        order[taken++] = ValueOrder{ plan->Values[i].Text, plan->Values[i].Kind, i };
    qsort(order, taken, sizeof *order, CompareValueOrders);
    for (size_t k = 1; k < taken; k++)
        if (order[k].Kind == order[k - 1].Kind && strcmp(order[k].Text, order[k - 1].Text) == 0)
            plan->Values[order[k].Index].File = -1;     // a repeat: left out below
    PlanRelease(plan, order, size);
    int32_t last = -1;
    file->ValueCount = 0;
    file->ExpectedLength = 0;
    for (int32_t i = file->FirstValue, next; i >= 0; i = next) {
        VerifyValue *value = &plan->Values[i];
        next = value->Next;
        if (value->File < 0)
            continue;
        if (last >= 0)
            plan->Values[last].Next = i;
        else
            file->FirstValue = i;
        value->Next = -1;
        last = i;
        file->ValueCount++;
        file->ExpectedLength += strlen(value->Text) + 2;
    }
    file->LastValue = last;
    return 0;
}

int VerifyPlanGroup(VerifyPlan *plan)
{
    int32_t rows = 0;
    for (int32_t i = 0; i < plan->FileCount; i++)
        rows += plan->Files[i].Row >= 0;
    // The rows and the text of failed values follow from the files found:
    // outside the read's budget.
    Release(plan->Rows);
    Release(plan->ExpectedText);
    plan->Rows = nullptr;
    plan->RowCount = 0;
    plan->ExpectedText = nullptr;
    plan->ExpectedSize = 0;
    if ((size_t)rows >= SIZE_MAX / sizeof *plan->Rows)
        return -1;
    plan->Rows = (VerifyRow *)VerifyReallocate(nullptr, ((size_t)rows + 1) * sizeof *plan->Rows);
    if (plan->Rows == nullptr)
        return -1;
    for (int32_t i = 0; i < plan->FileCount; i++) {
        const VerifyFile *file = &plan->Files[i];
        if (file->Row >= 0)
            plan->Rows[plan->RowCount++] = VerifyRow{ file->Row, file->EntryIndex, 0, i };
    }
    if (plan->RowCount > 1)
        qsort(plan->Rows, (size_t)plan->RowCount, sizeof *plan->Rows, CompareRows);
    // The files of one row are one file: the first of them keeps the values of all.
    int32_t distinct = 0;
    size_t expectedSize = 1;
    for (int32_t start = 0, end; start < plan->RowCount; start = end) {
        int32_t keeper = plan->Rows[start].File;
        for (end = start + 1; end < plan->RowCount && plan->Rows[end].Row == plan->Rows[start].Row; end++)
            JoinValues(plan, keeper, plan->Rows[end].File);
        if (end - start > 1 && DropRepeatedValues(plan, keeper) != 0)
            return -1;
        VerifyRow *row = &plan->Rows[distinct++];
        *row = plan->Rows[start];
        row->Mask = plan->Files[keeper].Mask;
        if (plan->Files[keeper].ExpectedLength + 1 > expectedSize)
            expectedSize = plan->Files[keeper].ExpectedLength + 1;
    }
    plan->RowCount = distinct;
    plan->ExpectedText = (char *)VerifyReallocate(nullptr, expectedSize);
    if (plan->ExpectedText == nullptr)
        return -1;
    plan->ExpectedText[0] = '\0';
    plan->ExpectedSize = expectedSize;
    int32_t listed = distinct;
    for (int32_t i = 0; i < plan->FileCount; i++) {
        const VerifyFile *file = &plan->Files[i];
        if (file->Row >= 0)
            continue;
        VerifySummaryAdd(&plan->Summary, file->State == VERIFY_FILE_NOT_OPENED ? VERIFY_NOT_OPENED : VERIFY_MISSING,
                         file->Name);
        listed++;
    }
    plan->Summary.Listed = listed;
    return 0;
}

static const char *ComputedOf(const VerifyComputed *found, int mask)
{
    int kind = KindOfMask(mask);
    return kind < 0 ? nullptr : found->Texts[kind];
}

int VerifyPlanJudge(VerifyPlan *plan, int32_t rowIndex, bool computed, const VerifyComputed *found)
{
    if (rowIndex < 0 || rowIndex >= plan->RowCount)
        return 0;
    const VerifyRow *row = &plan->Rows[rowIndex];
    const VerifyFile *file = &plan->Files[row->File];
    // Sized in VerifyPlanGroup for the longest file: every value fits.
    char *text = plan->ExpectedText;
    size_t used = 0;
    int failed = 0;
    for (int32_t i = file->FirstValue; i >= 0; i = plan->Values[i].Next) {
        const VerifyValue *value = &plan->Values[i];
        const char *mine = computed && found != nullptr ? ComputedOf(found, value->Kind) : nullptr;
        if (mine != nullptr && AsciiEqualNoCase(mine, value->Text))
            continue;
        // Digits that did not say their kind, matched as the other kind of their count.
        const char *other = computed && found != nullptr ? ComputedOf(found, value->Alternative) : nullptr;
        if (other != nullptr && AsciiEqualNoCase(other, value->Text)) {
            plan->Summary.MatchedAs[KindOfMask(value->Alternative)]++;
            continue;
        }
        if (used > 0) {
            memcpy(text + used, "  ", 2);
            used += 2;
        }
        size_t length = strlen(value->Text);
        memcpy(text + used, value->Text, length);
        used += length;
        failed++;
    }
    text[used] = '\0';
    VerifySummaryAdd(&plan->Summary, failed > 0 ? VERIFY_FAILED : VERIFY_OK, file->Name);
    if (failed > 0 && (plan->FirstFailedRow < 0 || row->Row < plan->FirstFailedRow))
        plan->FirstFailedRow = row->Row;
    return failed;
}

void VerifyPlanFree(VerifyPlan *plan)
{
    while (plan->Arena != nullptr) {
        VerifyArenaBlock *previous = plan->Arena->Previous;
        Release(plan->Arena);
        plan->Arena = previous;
    }
    Release(plan->Files);
    Release(plan->Values);
    Release(plan->Rows);
    Release(plan->ExpectedText);
    Release(plan->PathTable.Slots);
    Release(plan->ValueTable.Slots);
    VerifySummaryFree(&plan->Summary);
    VerifyPlanInit(plan);
}
