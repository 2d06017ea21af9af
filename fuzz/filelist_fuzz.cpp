// Fuzzing the store of collected files under any sequence of appends, reads,
// removals, clears, fits and releases, with the store's reallocation made to
// fail when the input says so. A plain model holds what every slot must
// hold, the count and the capacity; the leak sanitizer checks that every
// entry is freed once.
//
// Input: a byte for the start (0: a list with no slots, else a list of that
// many slots), then operations of two bytes: the operation (bits 0-2 append,
// read, remove, clear, fit, release, append with no list, append an entry
// without a path; bit 3: reallocations fail; bit 4: the index is far out of
// range) and its index.
#include "core/filelist.h"

#include "fuzz_support.h"

#include <limits.h>

#include <string>
#include <vector>

namespace {

enum { OP_APPEND, OP_GET, OP_REMOVE, OP_CLEAR, OP_FIT, OP_RELEASE, OP_APPEND_NO_LIST, OP_APPEND_NO_PATH };

struct Model {
    std::vector<FileEntry *> Slots;
    std::vector<std::string> Paths;
    int32_t Capacity;
};

bool FailReallocations;
int ReallocationCalls;
size_t LastReallocationSize;

void *InjectedReallocate(void *block, size_t size)
{
    ReallocationCalls++;
    LastReallocationSize = size;
    return FailReallocations ? nullptr : realloc(block, size);
}

// The capacity rule before a store: a full list doubles (an empty one without
// slots gets twenty); one filled to a third or less halves, as long as the
// half still has room. Returns FileListFit's result; *reallocatedTo is the
// slot count the store reallocates to, 0 when it keeps its slots.
int ModelFit(Model *m, bool fail, int32_t *reallocatedTo)
{
    int32_t count = (int32_t)m->Slots.size();
    *reallocatedTo = 0;
    if (m->Capacity == count) {
        *reallocatedTo = (m->Capacity == 0 ? 10 : m->Capacity) * 2;
        if (fail)
            return -1;
        m->Capacity = *reallocatedTo;
    } else if (count <= m->Capacity / 3 && m->Capacity / 2 > count) {
        *reallocatedTo = m->Capacity / 2;
        if (!fail)
            m->Capacity = *reallocatedTo;
    }
    return 0;
}

void CheckAll(FileList *list, const Model &m, const char *after)
{
    FUZZ_CHECK(list->Count == (int32_t)m.Slots.size() && list->Capacity == m.Capacity,
               "count %d capacity %d, not %zu and %d after %s", list->Count, list->Capacity, m.Slots.size(),
               m.Capacity, after);
    for (int32_t i = 0; i < list->Count; i++) {
        FileEntry *entry = FileListEntry(list, i);
        FUZZ_CHECK(entry == m.Slots[i], "slot %d holds %p, not %p after %s", i, (void *)entry, (void *)m.Slots[i],
                   after);
        if (entry != nullptr)
            FUZZ_CHECK(entry->Path ? m.Paths[i] == entry->Path : m.Paths[i].empty(), "slot %d's path changed", i);
    }
}

void CheckReallocations(int calls, int32_t reallocatedTo, const char *op)
{
    FUZZ_CHECK(calls == (reallocatedTo > 0 ? 1 : 0), "%s reallocated %d times", op, calls);
    if (reallocatedTo > 0)
        FUZZ_CHECK(LastReallocationSize == (size_t)reallocatedTo * sizeof(void *),
                   "%s reallocated to %zu bytes, not %d slots", op, LastReallocationSize, reallocatedTo);
}

int32_t IndexFrom(uint8_t op, uint8_t byte, const Model &m)
{
    if (op & 16) {
        static const int32_t far[] = { INT32_MIN, -1, INT32_MAX, (int32_t)m.Slots.size() };
        return far[byte % 4];
    }
    return m.Slots.empty() ? (int32_t)byte - 2 : (int32_t)(byte % (m.Slots.size() + 2)) - 1;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FileListReallocate = InjectedReallocate;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    FileList list;
    Model m;
    uint8_t start = in.Byte();
    if (start == 0) {
        list.Items = nullptr;
        list.Count = 0;
        list.Capacity = 0;
    } else {
        FUZZ_CHECK(FileListInit(&list, start) == &list, "no list of %u slots", start);
    }
    m.Capacity = start;
    FUZZ_CHECK(FileListInit(nullptr, 4) == nullptr && FileListInit(&list, 0) == nullptr &&
                   FileListInit(&list, -1) == nullptr,
               "a list made of nothing");
    CheckAll(&list, m, "the start");

    int appended = 0;
    while (!in.Empty()) {
        uint8_t op = in.Byte();
        uint8_t argument = in.Byte();
        FailReallocations = op & 8;
        ReallocationCalls = 0;
        int32_t reallocatedTo = 0;
        switch (op & 7) {
        case OP_APPEND:
        case OP_APPEND_NO_PATH: {
            std::string path = (op & 7) == OP_APPEND ? "C:\\files\\" + std::to_string(appended++) + ".txt" : "";
            FileEntry *entry = NewFileEntry(path.empty() ? nullptr : path.c_str());
            FileEntry **items = list.Items;
            Model before = m;
            int expected = ModelFit(&m, FailReallocations, &reallocatedTo);
            int32_t index = FileListAppend(&list, entry);
            CheckReallocations(ReallocationCalls, reallocatedTo, "an append");
            if (expected != 0) {
                FUZZ_CHECK(index == -1 && list.Items == items, "a failed growth gave index %d", index);
                CheckAll(&list, before, "a failed append");
                FreeFileEntry(entry);
            } else {
                FUZZ_CHECK(index == (int32_t)m.Slots.size(), "appended at %d, not %zu", index, m.Slots.size());
                m.Slots.push_back(entry);
                m.Paths.push_back(path);
            }
            break;
        }
        case OP_GET: {
            int32_t index = IndexFrom(op, argument, m);
            bool inside = index >= 0 && index < (int32_t)m.Slots.size();
            FUZZ_CHECK(FileListEntry(&list, index) == (inside ? m.Slots[index] : nullptr), "slot %d read wrongly", index);
            break;
        }
        case OP_REMOVE: {
            int32_t index = IndexFrom(op, argument, m);
            FileListRemoveEntry(&list, index);
            if (index >= 0 && index < (int32_t)m.Slots.size())
                m.Slots[index] = nullptr;
            break;
        }
        case OP_CLEAR:
            FileListClearEntries(&list);
            for (auto &slot : m.Slots)
                slot = nullptr;
            break;
        case OP_FIT: {
            FileEntry **items = list.Items;
            int expected = ModelFit(&m, FailReallocations, &reallocatedTo);
            int result = FileListFit(&list);
            CheckReallocations(ReallocationCalls, reallocatedTo, "a fit");
            FUZZ_CHECK(result == expected, "fit gave %d, not %d", result, expected);
            if (reallocatedTo > 0 && FailReallocations)
                FUZZ_CHECK(list.Items == items, "a failed fit moved the slots");
            break;
        }
        case OP_RELEASE:
            FileListRelease(&list);
            FUZZ_CHECK(list.Items == nullptr, "released slots still there");
            m = Model();
            m.Capacity = 0;
            break;
        default:
            FUZZ_CHECK(FileListAppend(nullptr, nullptr) == -1, "an append with no list");
            break;
        }
        FUZZ_CHECK(list.Count == (int32_t)m.Slots.size() && list.Capacity == m.Capacity,
                   "count %d capacity %d, not %zu and %d after operation %u", list.Count, list.Capacity,
                   m.Slots.size(), m.Capacity, op & 7);
        if (FailReallocations)
            CheckAll(&list, m, "a failed reallocation");
    }
    CheckAll(&list, m, "the last operation");
    FailReallocations = false;
    FileListRelease(&list);
    return 0;
}
