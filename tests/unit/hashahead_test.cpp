// Hashing ahead: a helper's result is the job's own, with the same progress
// calls in the worker's turn; a cancel answered at one of them ends the
// file there; offers not begun go back to the worker; no helper outlives
// the pool.
#include "core/hashahead.h"

#include "checksum/hashjob.h"

#include "unit_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::atomic<bool> Cancel(false);

bool CancelAsked(void)
{
    return Cancel.load();
}

// Size and last-write time, as finely as the file system keeps them.
int Stamp(const char *path, FileStamp *stamp)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return -1;
    stamp->Size = std::filesystem::file_size(path, error);
    stamp->LastWrite = (int64_t)std::filesystem::last_write_time(path, error).time_since_epoch().count();
    return error ? -1 : 0;
}

struct Calls {
    std::vector<int32_t> seen;
    size_t cancelAt = 0;    // answers -1 from this call on; 0: never
};

int Record(void *context, int32_t percentage)
{
    Calls *calls = (Calls *)context;
    if (percentage == PROGRESS_CHECK_ONLY)
        return calls->cancelAt > 0 && calls->seen.size() >= calls->cancelAt ? -1 : 0;
    calls->seen.push_back(percentage);
    return calls->cancelAt > 0 && calls->seen.size() >= calls->cancelAt ? -1 : 0;
}

std::string WriteFile(const std::string &name, size_t size, unsigned seed)
{
    std::vector<unsigned char> bytes = RandomBytes(size, seed);
    std::string path = ScratchPath(name);
    std::ofstream(path, std::ios::binary).write((const char *)bytes.data(), (std::streamsize)bytes.size());
    return path;
}

class HashAhead : public ::testing::Test {
protected:
    void TearDown() override
    {
        HashAheadStop();
        Cancel = false;
        EXPECT_EQ(HashAheadLiveHelpers(), 0) << "a helper outlived the pool";
    }
};

} // namespace

TEST_F(HashAhead, HelpersResultsAndCallsAreTheJobsOwn)
{
    const size_t sizes[] = { 0, 1, 4095, 4096, 4097, 300000, 3 << 20, 17, 1 << 20 };
    std::vector<std::string> paths;
    for (size_t i = 0; i < sizeof sizes / sizeof sizes[0]; i++)
        paths.push_back(WriteFile("ahead" + std::to_string(i) + ".bin", sizes[i], (unsigned)i));
    paths.push_back(ScratchPath("no such file.bin"));
    ASSERT_EQ(HashAheadStart(3, CancelAsked, Stamp), 3);
    for (size_t i = 0; i < paths.size(); i++)
        ASSERT_EQ(HashAheadOffer((int32_t)i, paths[i].c_str(), i < 9 ? sizes[i] : 10, MASK_CRC32 | MASK_MD5), 0);
    for (size_t i = 0; i < paths.size(); i++) {
        Calls direct, taken;
        HashOutcome own, helped;
        HashFile(paths[i].c_str(), i < 9 ? sizes[i] : 10, MASK_CRC32 | MASK_MD5, Record, &direct, &own);
        if (!HashAheadTake((int32_t)i, Record, &taken, nullptr, nullptr, &helped, nullptr))
            HashFile(paths[i].c_str(), i < 9 ? sizes[i] : 10, MASK_CRC32 | MASK_MD5, Record, &taken, &helped);
        EXPECT_EQ(helped.Result, own.Result) << paths[i];
        EXPECT_EQ(helped.Crc32, own.Crc32) << paths[i];
        EXPECT_EQ(memcmp(helped.Md5, own.Md5, 16), 0) << paths[i];
        EXPECT_EQ(taken.seen, direct.seen) << "the same progress calls, in the worker's turn: " << paths[i];
    }
    EXPECT_GT(HashAheadJobsBegun(), 0);
    EXPECT_EQ(HashAheadPending(), 0);
}

namespace {

// A worker slow to carry out each call: the helper ends while it forwards.
int RecordSlowly(void *context, int32_t percentage)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return Record(context, percentage);
}

} // namespace

TEST_F(HashAhead, HelperThatEndsWhileItsCallsAreForwarded)
{
    std::string path = WriteFile("forwarded.bin", 1 << 20, 11);
    ASSERT_EQ(HashAheadStart(1, CancelAsked, Stamp), 1);
    ASSERT_EQ(HashAheadOffer(1, path.c_str(), 1 << 20, MASK_CRC32), 0);
    while (HashAheadJobsBegun() == 0)
        std::this_thread::yield();
    Calls calls;
    HashOutcome outcome;
    ASSERT_EQ(HashAheadTake(1, RecordSlowly, &calls, nullptr, nullptr, &outcome, nullptr), 1);
    EXPECT_EQ(outcome.Result, 0);
    EXPECT_EQ(calls.seen.size(), 101u) << "every poll and the final call";
}

TEST_F(HashAhead, CancelAnsweredAtAPollEndsTheFileThere)
{
    std::string path = WriteFile("cancelled.bin", 2 << 20, 7);
    ASSERT_EQ(HashAheadStart(1, CancelAsked, Stamp), 1);
    ASSERT_EQ(HashAheadOffer(1, path.c_str(), 2 << 20, MASK_MD5), 0);
    while (HashAheadJobsBegun() == 0)
        std::this_thread::yield();
    Calls calls;
    calls.cancelAt = 3;
    HashOutcome outcome;
    ASSERT_EQ(HashAheadTake(1, Record, &calls, nullptr, nullptr, &outcome, nullptr), 1) << "offered, so taken";
    EXPECT_EQ(outcome.Result, -1);
    ASSERT_EQ(calls.seen.size(), 4u) << "three polls, then only the final call";
    EXPECT_EQ(calls.seen.back(), 100);
}

TEST_F(HashAhead, OffersNotBegunGoBackAndStopEndsEveryHelper)
{
    std::string big = WriteFile("busy.bin", 16 << 20, 3);
    std::string small = WriteFile("small.bin", 10, 4);
    ASSERT_EQ(HashAheadStart(1, CancelAsked, Stamp), 1);
    ASSERT_EQ(HashAheadOffer(1, big.c_str(), 16 << 20, MASK_MD5), 0);
    ASSERT_EQ(HashAheadOffer(2, big.c_str(), 16 << 20, MASK_MD5), 0);
    ASSERT_EQ(HashAheadOffer(3, small.c_str(), 10, MASK_MD5), 0);
    HashOutcome outcome;
    Calls calls;
    EXPECT_EQ(HashAheadTake(3, Record, &calls, nullptr, nullptr, &outcome, nullptr), 0) << "the one helper is still at the first offers";
    EXPECT_EQ(HashAheadTake(99, Record, &calls, nullptr, nullptr, &outcome, nullptr), 0) << "never offered";
    EXPECT_TRUE(calls.seen.empty());

    // A cancel: what is being hashed stops at its next poll, nothing new starts.
    Cancel = true;
    HashAheadDiscard();
    EXPECT_EQ(HashAheadOffer(4, small.c_str(), 10, MASK_MD5), -1) << "no offer after a discard";
    EXPECT_EQ(HashAheadPending(), 0);
    HashAheadStop();
    EXPECT_EQ(HashAheadLiveHelpers(), 0);

    EXPECT_EQ(HashAheadOffer(5, small.c_str(), 10, MASK_MD5), -1) << "no helper runs";
    EXPECT_EQ(HashAheadStart(0, CancelAsked, Stamp), 0);
}

namespace {

std::string HeldPath;

// Another program holds this one file without read sharing.
FILE *OpenUnlessHeld(const char *path)
{
    return HeldPath == path ? nullptr : fopen(path, "rb");
}

} // namespace

TEST_F(HashAhead, FileWrittenDeletedOrHeldWhenItsHelperReadItIsHashedAgainByTheWorker)
{
    std::string rewritten = WriteFile("rewritten.bin", 100000, 21);
    std::string deleted = WriteFile("deleted.bin", 5000, 22);
    HeldPath = WriteFile("held.bin", 5000, 24);
    HashOpenFn open = HashOpen;
    HashOpen = OpenUnlessHeld;
    ASSERT_EQ(HashAheadStart(2, CancelAsked, Stamp), 2);
    ASSERT_EQ(HashAheadOffer(1, rewritten.c_str(), 100000, MASK_CRC32), 0);
    ASSERT_EQ(HashAheadOffer(2, deleted.c_str(), 5000, MASK_CRC32), 0);
    ASSERT_EQ(HashAheadOffer(3, HeldPath.c_str(), 5000, MASK_CRC32), 0);
    while (HashAheadPending() > 0)
        std::this_thread::yield();
    HashOpen = open;    // let go of now: the worker can read it
    // The same size, new bytes, a new time: as an editor saves it.
    auto time = std::filesystem::last_write_time(rewritten);
    WriteFile("rewritten.bin", 100000, 23);
    std::filesystem::last_write_time(rewritten, time + std::chrono::seconds(2));
    std::filesystem::remove(deleted);

    Calls calls;
    HashOutcome outcome;
    EXPECT_EQ(HashAheadTake(1, Record, &calls, nullptr, nullptr, &outcome, nullptr), 0)
        << "a helper's checksum of the file's earlier bytes was used";
    EXPECT_EQ(HashAheadTake(2, Record, &calls, nullptr, nullptr, &outcome, nullptr), 0)
        << "a file deleted after its helper read it was taken as read";
    EXPECT_EQ(HashAheadTake(3, Record, &calls, nullptr, nullptr, &outcome, nullptr), 0)
        << "a helper's failed open was taken as the file's result";
}

TEST_F(HashAhead, FileFarPastItsRecordedSizeIsReadOnceWithTheJobsOwnPolls)
{
    std::string grown = WriteFile("grown.bin", 24 << 20, 31);
    ASSERT_EQ(HashAheadStart(1, CancelAsked, Stamp), 1);
    ASSERT_EQ(HashAheadOffer(1, grown.c_str(), 4096, MASK_CRC32), 0);
    while (HashAheadPending() > 0)
        std::this_thread::yield();
    Calls direct, taken;
    HashOutcome own, helped;
    HashFile(grown.c_str(), 4096, MASK_CRC32, Record, &direct, &own);
    ASSERT_EQ(HashAheadTake(1, Record, &taken, nullptr, nullptr, &helped, nullptr), 1) << "the helper's reading was thrown away";
    EXPECT_EQ(helped.Crc32, own.Crc32);
    EXPECT_EQ(taken.seen, direct.seen);
}

namespace {

struct SecondOffer {
    std::string path;
    int offers = 0;
};

void OfferOnce(void *context)
{
    SecondOffer *second = (SecondOffer *)context;
    if (second->offers++ == 0)
        HashAheadOffer(2, second->path.c_str(), 10, MASK_MD5);
}

} // namespace

TEST_F(HashAhead, WorkerFollowingALongFileKeepsTheOtherHelpersBusy)
{
    std::string big = WriteFile("followed.bin", 32 << 20, 41);
    SecondOffer second;
    second.path = WriteFile("meanwhile.bin", 10, 42);
    ASSERT_EQ(HashAheadStart(2, CancelAsked, Stamp), 2);
    ASSERT_EQ(HashAheadOffer(1, big.c_str(), 32 << 20, MASK_MD5), 0);
    while (HashAheadJobsBegun() == 0)
        std::this_thread::yield();
    Calls calls;
    HashOutcome outcome;
    ASSERT_EQ(HashAheadTake(1, Record, &calls, OfferOnce, &second, &outcome, nullptr), 1);
    EXPECT_GE(second.offers, 1) << "no work offered while the worker waited";
    EXPECT_EQ(HashAheadTake(2, Record, &calls, nullptr, nullptr, &outcome, nullptr), 1)
        << "the second helper sat idle while the first hashed the long file";
}
