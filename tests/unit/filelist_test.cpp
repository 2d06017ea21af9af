// The store of collected files: capacities, indices that are never reused,
// a failed growth, slot reads while another thread appends, a run's rows and
// events shared by its worker and the window, and the order of the rows by a
// column.
#include "core/filelist.h"
#include "core/rowsort.h"
#include "core/runview.h"

#include <gtest/gtest.h>

#include <stdint.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

struct ScopedList {
    FileList list;
    ScopedList() { EXPECT_NE(FileListInit(&list, 32), nullptr); }
    ~ScopedList() { FileListRelease(&list); }
};

FileEntry *EntryFor(int i)
{
    FileEntry *entry = NewFileEntry(("C:\\files\\" + std::to_string(i) + ".txt").c_str());
    entry->Size = (uint64_t)i;
    return entry;
}

void *FailingReallocate(void *, size_t) { return nullptr; }

} // namespace

TEST(FileList, CapacityShrinksThenGrowsByTheRule)
{
    ScopedList s;
    EXPECT_EQ(s.list.Capacity, 32);
    const int32_t expected[] = { 16, 8, 4, 4, 8, 8, 8, 8, 16, 16, 16, 16, 16, 16, 16, 16, 32 };
    for (int i = 0; i < 17; i++) {
        EXPECT_EQ(FileListAppend(&s.list, EntryFor(i)), i);
        EXPECT_EQ(s.list.Capacity, expected[i]) << "after append " << i + 1;
    }
    EXPECT_EQ(s.list.Count, 17);
    for (int i = 0; i < 17; i++)
        EXPECT_EQ(FileListEntry(&s.list, i)->Size, (uint64_t)i);
}

TEST(FileList, EmptyListWithoutSlotsGrowsToTwenty)
{
    FileList list;
    list.Items = nullptr;
    list.Count = 0;
    list.Capacity = 0;
    EXPECT_EQ(FileListAppend(&list, EntryFor(0)), 0);
    EXPECT_EQ(list.Capacity, 20);
    FileListRelease(&list);
    EXPECT_EQ(FileListAppend(nullptr, nullptr), -1);
}

TEST(FileList, IndicesAreNeverReused)
{
    ScopedList s;
    for (int i = 0; i < 3; i++)
        FileListAppend(&s.list, EntryFor(i));
    FileListRemoveEntry(&s.list, 1);
    EXPECT_EQ(FileListEntry(&s.list, 1), nullptr);
    EXPECT_EQ(FileListEntry(&s.list, 0)->Size, 0u);
    EXPECT_EQ(FileListEntry(&s.list, 2)->Size, 2u);
    EXPECT_EQ(s.list.Count, 3);

    FileListClearEntries(&s.list);
    EXPECT_EQ(s.list.Count, 3);
    EXPECT_EQ(FileListAppend(&s.list, EntryFor(3)), 3);
    EXPECT_EQ(s.list.Count, 4);
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(FileListEntry(&s.list, i), nullptr);
    EXPECT_EQ(FileListEntry(&s.list, 4), nullptr) << "beyond Count";
    EXPECT_EQ(FileListEntry(&s.list, -1), nullptr);
}

TEST(FileList, FailedGrowthKeepsEveryEntry)
{
    ScopedList s;
    std::vector<FileEntry *> entries;
    for (int i = 0; i < 4; i++) {
        entries.push_back(EntryFor(i));
        FileListAppend(&s.list, entries.back());
    }
    ASSERT_EQ(s.list.Capacity, 4);
    FileListReallocate = FailingReallocate;
    FileEntry *extra = EntryFor(4);
    EXPECT_EQ(FileListAppend(&s.list, extra), -1);
    FileListReallocate = realloc;
    EXPECT_EQ(s.list.Count, 4);
    EXPECT_EQ(s.list.Capacity, 4);
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(FileListEntry(&s.list, i), entries[i]);
    EXPECT_EQ(FileListAppend(&s.list, extra), 4) << "the next append grows";
}

TEST(FileList, FailedShrinkStillStores)
{
    ScopedList s;
    FileListReallocate = FailingReallocate;
    EXPECT_EQ(FileListAppend(&s.list, EntryFor(0)), 0);
    FileListReallocate = realloc;
    EXPECT_EQ(s.list.Capacity, 32);
    EXPECT_EQ(FileListEntry(&s.list, 0)->Size, 0u);
}

TEST(FileEntryRecord, NewEntryOwnsACopyOfItsPath)
{
    char path[] = "C:\\data\\a.txt";
    FileEntry *entry = NewFileEntry(path);
    ASSERT_NE(entry, nullptr);
    path[0] = 'D';
    EXPECT_STREQ(entry->Path, "C:\\data\\a.txt");
    EXPECT_EQ(entry->Flags, 0);
    EXPECT_STREQ(entry->Md5Text, "");
    FreeFileEntry(entry);

    entry = NewFileEntry(nullptr);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Path, nullptr);
    FreeFileEntry(entry);
    FreeFileEntry(nullptr);
}

TEST(FileList, SlotReadsWhileAnotherThreadAppends)
{
    // Rounds of appends from an empty list, its slot storage released
    // between rounds: thousands of moves of Items under the reader's feet.
    // The items are marks, never dereferenced: only the slots are read.
    FileList list;
    list.Items = nullptr;
    list.Count = list.Capacity = 0;
    const int perRound = 1000, rounds = 600;
    auto mark = [](int i) { return (FileEntry *)(uintptr_t)(2 * i + 1); };
    std::atomic<bool> done(false), started(false);
    std::atomic<long> wrong(0), seen(0), moves(0);
    std::thread reader([&] {
        started = true;
        unsigned index = 0;
        while (!done.load()) {
            index = index * 1103515245u + 12345u;
            int32_t i = (int32_t)(index % perRound);
            FileEntry *item = FileListEntry(&list, i);
            if (item == nullptr)
                continue;
            seen++;
            if (item != mark(i))
                wrong++;
        }
    });
    while (!started.load())
        std::this_thread::yield();
    for (int round = 0; round < rounds; round++) {
        for (int i = 0; i < perRound; i++) {
            int32_t capacity = list.Capacity;
            ASSERT_EQ(FileListAppend(&list, mark(i)), i);
            moves += list.Capacity != capacity;
            if (i % 100 == 0)
                std::this_thread::yield();  // let the reader in on a single processor too
        }
        FileListFree(&list);
    }
    done = true;
    reader.join();
    EXPECT_GE(moves.load(), 3000) << "the slot storage moved often enough to meet the reader";
    EXPECT_EQ(wrong.load(), 0) << "a read saw another item than the one in its slot";
    EXPECT_GT(seen.load(), 0);
}

// A run's worker reads the rows it was handed while the window adds rows
// after them, and adds events, texts with them, while the window takes them:
// the worker sees every row in order, the window every event in order, once.
TEST(FileList, SlotReadsOfARunsRowsAndEventsWhileTheWindowAddsAndTakes)
{
    static RunRows rows;
    static RunEvents events;
    const int32_t handed = 200, added = 300;
    ASSERT_EQ(RunRowsReset(&rows, handed), 0);
    for (int32_t row = 0; row < handed; row++)
        ASSERT_EQ(RunRowsInsert(&rows, -1, 1000 + row), 0);
    FileEntry entry = {};
    std::atomic<bool> done(false);
    std::thread worker([&] {
        int32_t row = 0;
        while (!done || row < RunRowsCount(&rows)) {
            if (row == RunRowsCount(&rows)) {
                std::this_thread::yield();
                continue;
            }
            EXPECT_EQ(RunRowsIndex(&rows, row), 1000 + row);
            SetEntryState(&entry, row % 2 ? ENTRY_DONE : ENTRY_PROCESSING);
            RunEvent event = {};
            event.Kind = RUN_EVENT_COUNTER;
            event.Value = row++;
            event.Text = strdup("text");
            while (RunEventsAdd(&events, &event) < 0)
                std::this_thread::yield();
        }
    });
    int32_t next = handed, expected = 0;
    while (expected < handed + added) {
        if (next < handed + added) {
            EXPECT_EQ(RunRowsInsert(&rows, next, 1000 + next), 0);
            next++;
        }
        done = next == handed + added;
        int state = EntryStateOf(&entry);
        EXPECT_TRUE(state == ENTRY_READY || state == ENTRY_DONE || state == ENTRY_PROCESSING);
        RunEvent *taken;
        int32_t count = RunEventsTake(&events, &taken);
        for (int32_t i = 0; i < count; i++)
            EXPECT_EQ(taken[i].Value, expected++);
        RunEventsFreeTaken(taken, count);
    }
    worker.join();
    EXPECT_FALSE(RunEventsWaiting(&events));
    EXPECT_EQ(RunRowsIndex(&rows, handed + added), -1);
    RunRowsFree(&rows);
}

TEST(RowSort, EachKindBothWaysKeepsTiesInRowOrder)
{
    struct Case {
        int kind;
        std::vector<RowSortKey> keys;   // a key of {} has no text and no size
        std::vector<int32_t> ascending, descending;
    } cases[] = {
        { ROW_SORT_NAME, { { "file10.txt" }, { "File9.txt" }, { "b.txt" }, { "file9.txt" }, { "A.txt" },
                           { "file09.txt" }, { "\xC3\x89" "b" }, { "\xC3\xA9" "a" } },
          { 4, 2, 5, 1, 3, 0, 7, 6 }, { 6, 7, 0, 1, 3, 5, 2, 4 } },
        { ROW_SORT_TEXT, { { "Ready" }, { "done" }, { "Disabled" }, { "Done" }, { "9F000000" }, { "10000000" }, {} },
          { 6, 5, 4, 2, 1, 3, 0 }, { 0, 1, 3, 2, 4, 5, 6 } },
        { ROW_SORT_SIZE, { { "", 5, true }, {}, { "", 100, true }, { "", 5, true }, { "", 1ull << 40, true } },
          { 0, 3, 2, 4, 1 }, { 4, 2, 0, 3, 1 } },
    };
    for (const Case &c : cases) {
        std::vector<int32_t> order(c.keys.size(), -1);
        for (bool descending : { false, true }) {
            ASSERT_EQ(RowSortOrder(c.keys.data(), (int32_t)c.keys.size(), c.kind, descending, order.data()), 0);
            EXPECT_EQ(order, descending ? c.descending : c.ascending) << "kind " << c.kind << ", " << descending;
        }
    }
}
