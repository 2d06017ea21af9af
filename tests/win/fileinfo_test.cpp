// The file lookup and the hashing job on what only Windows has: attributes,
// locked files, directories, files above 4 GiB, and the progress bar.
#include "checksum/hashjob.h"
#include "core/fileinfo.h"
#include "platform/runlock.h"
#include "resources/resource.h"
#include "ui/progress.h"
#include "win_support.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <sys/stat.h>

#include <vector>

namespace {

class WindowsFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() { folder = new std::string(MakeScratchFolder("fileinfo")); }
    static void TearDownTestSuite()
    {
        DeleteTree(*folder);
        delete folder;
    }
    static std::string Path(const char *name) { return *folder + "\\" + name; }
    static std::string *folder;
};
std::string *WindowsFiles::folder;

// Sets the length of a file without writing it (sparse on the Linux side).
bool MakeFileOfLength(const std::string &path, uint64_t length)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER at;
    at.QuadPart = (LONGLONG)length;
    bool ok = SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

struct ProgressLog {
    std::vector<int32_t> calls;
    size_t cancelAt = 0;    // answers -1 from this call on; 0: never
};

int RecordProgress(void *context, int32_t percentage)
{
    ProgressLog *log = (ProgressLog *)context;
    if (percentage == PROGRESS_CHECK_ONLY)
        return log->cancelAt > 0 && log->calls.size() >= log->cancelAt ? -1 : 0;
    log->calls.push_back(percentage);
    return log->cancelAt > 0 && log->calls.size() >= log->cancelAt ? -1 : 0;
}

// The polls of a whole file of length bytes recorded with its length: one
// after each full 4096-byte chunk that carries the position above the next
// step, then the final 100.
std::vector<int32_t> ExpectedPolls(uint64_t length, std::vector<uint64_t> *positions)
{
    std::vector<int32_t> polls;
    uint64_t step = ProgressStepFor(length), threshold = step;
    for (uint64_t position = 4096; position <= length; position += 4096) {
        if (position <= threshold)
            continue;
        threshold += step;
        polls.push_back((int32_t)(position * 100 / length));
        positions->push_back(position);
    }
    polls.push_back(100);
    return polls;
}

} // namespace

TEST_F(WindowsFiles, FilesOfEveryKindAreFound)
{
    for (DWORD attribute : { FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM, FILE_ATTRIBUTE_READONLY }) {
        std::string path = Path(("attr" + std::to_string(attribute) + ".txt").c_str());
        ASSERT_TRUE(WriteWholeFile(path, "12345"));
        SetFileAttributesA(path.c_str(), attribute);
        uint64_t size = 0;
        int64_t time = 0;
        EXPECT_EQ(QueryFileInfo(path.c_str(), &size, &time), 0) << "attribute " << attribute;
        EXPECT_EQ(size, 5u);
        struct _stat64 status;
        ASSERT_EQ(_stat64(path.c_str(), &status), 0);
        EXPECT_EQ(time, (int64_t)status.st_mtime);
        FileStamp stamp;
        ASSERT_EQ(ReadFileStamp(path.c_str(), &stamp), 0);
        EXPECT_EQ(FileStampSeconds(stamp.LastWrite), time) << "the logs' second from the stamp's time";
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST_F(WindowsFiles, DirectoriesMissingPathsAndWildcards)
{
    uint64_t size = 77;
    int64_t time = 88;
    EXPECT_EQ(QueryFileInfo(folder->c_str(), &size, &time), -2);
    EXPECT_EQ(size, 77u);
    EXPECT_EQ(time, 88);
    EXPECT_EQ(QueryFileInfo(Path("missing.txt").c_str(), &size, &time), -1);
    EXPECT_EQ(QueryFileInfo("", &size, &time), -1);
    EXPECT_EQ(QueryFileInfo(nullptr, &size, &time), -1);
    EXPECT_EQ(size, 77u);

    std::string wild = MakeScratchFolder("fileinfo_wild");
    ASSERT_TRUE(WriteWholeFile(wild + "\\only.dat", "abc"));
    EXPECT_EQ(QueryFileInfo((wild + "\\*.dat").c_str(), &size, nullptr), 0);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(QueryFileInfo((wild + "\\*.dat").c_str(), nullptr, nullptr), 0) << "no outputs";
    DeleteTree(wild);
}

TEST_F(WindowsFiles, LockedFileIsFoundButCannotBeHashed)
{
    std::string path = Path("locked.bin");
    ASSERT_TRUE(WriteWholeFile(path, std::string(10000, 'x')));
    HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    uint64_t size = 0, index = 0;
    uint32_t volume;
    EXPECT_EQ(QueryFileInfo(path.c_str(), &size, nullptr), 0);
    EXPECT_EQ(size, 10000u);
    size = 0;
    EXPECT_EQ(LookUpFile(path.c_str(), &size, &volume, &index), LOOK_UP_FOUND) << "a verification finds it too";
    EXPECT_EQ(size, 10000u);

    ProgressLog log;
    HashOutcome outcome;
    EXPECT_EQ(HashFile(path.c_str(), size, MASK_CRC32, RecordProgress, &log, &outcome), -1);
    EXPECT_TRUE(log.calls.empty());
    CloseHandle(lock);

    EXPECT_EQ(HashFile(folder->c_str(), 0, MASK_MD5, RecordProgress, &log, &outcome), -1)
        << "a directory cannot be opened";
    EXPECT_TRUE(log.calls.empty());
}

TEST_F(WindowsFiles, AConfinedFolderReachesNothingOutsideItThroughALink)
{
    std::string dl = Path("dl");
    CreateDirectoryA(dl.c_str(), nullptr);
    ASSERT_TRUE(WriteWholeFile(dl + "\\\xC3\xA9\xC3\xA9.txt", "in"));
    ASSERT_TRUE(WriteWholeFile(Path("out.txt"), "out"));
    // A Linux link in the folder to the folder above it, gone at the end.
    struct Link {
        std::string folder = EnvironmentValue("ZUNTA_SCRATCH") + "/fileinfo/dl";
        ~Link() { RunLinuxCommand("rm -f '" + folder + "/up'"); }
    } link;
    ASSERT_EQ(RunLinuxCommand("ln -sfn .. '" + link.folder + "/up'"), 0);
    std::string outside = dl + "\\up\\out.txt";

    ASSERT_EQ(ConfineOpensToFolder(dl.c_str()), LOOK_UP_FOUND);
    uint64_t size = 0, index = 0, other = 0;
    uint32_t volume = 0, otherVolume = 1;
    EXPECT_EQ(LookUpFile((dl + "\\\xC3\xA9\xC3\xA9.txt").c_str(), &size, &volume, &index), LOOK_UP_FOUND);
    EXPECT_EQ(size, 2u);
    EXPECT_EQ(LookUpFile((dl + "\\\xC3\x89\xC3\xA9.TXT").c_str(), &size, &otherVolume, &other), LOOK_UP_FOUND);
    EXPECT_TRUE(index != 0 && other == index && otherVolume == volume) << "one file in two letter cases, one identity";
    EXPECT_EQ(LookUpFile(outside.c_str(), &size, &volume, &index), LOOK_UP_OUTSIDE);
    EXPECT_EQ(LookUpFile((dl + "\\UP\\OUT.TXT").c_str(), &size, &volume, &index), LOOK_UP_OUTSIDE);
    EXPECT_EQ(LookUpFile((dl + "\\up").c_str(), &size, &volume, &index), LOOK_UP_MISSING) << "a folder";
    FILE *file = OpenDiskFile(outside.c_str());
    EXPECT_EQ(file, nullptr) << "a link that came after the look-up is caught where the file is opened";
    if (file != nullptr)
        fclose(file);
    file = OpenDiskFile(Path("out.txt").c_str());
    EXPECT_NE(file, nullptr) << "a path outside the folder by name is not confined";
    if (file != nullptr)
        fclose(file);
    EndOpensConfinement();
    file = OpenDiskFile(outside.c_str());
    EXPECT_NE(file, nullptr) << "opens are free again";
    if (file != nullptr)
        fclose(file);
}

TEST_F(WindowsFiles, FilesAboveFourGigabytes)
{
    std::string path = Path("large.bin");
    ASSERT_TRUE(MakeFileOfLength(path, 5368709120ull));
    uint64_t size = 0;
    EXPECT_EQ(QueryFileInfo(path.c_str(), &size, nullptr), 0);
    EXPECT_EQ(size, 5368709120ull);

    // Every poll at its step up to a cancel past 4 GiB, which stops the
    // job at that very poll.
    const uint64_t length = 4294967296ull + (64 << 20);
    ASSERT_TRUE(MakeFileOfLength(path, length));
    std::vector<uint64_t> positions;
    std::vector<int32_t> expected = ExpectedPolls(length, &positions);
    size_t beyond = 0;
    while (positions[beyond] <= 4294967296ull)
        beyond++;
    ASSERT_LT(beyond + 1, positions.size());
    ProgressLog log;
    log.cancelAt = beyond + 1;
    HashOutcome outcome;
    EXPECT_EQ(HashFile(path.c_str(), length, MASK_CRC32, RecordProgress, &log, &outcome), -1);
    std::vector<int32_t> upToTheCancel(expected.begin(), expected.begin() + (long)beyond + 1);
    upToTheCancel.push_back(100);
    EXPECT_EQ(log.calls, upToTheCancel) << "the polls until the cancel, then only the final call";
    EXPECT_GT(log.calls.size(), 590u);
    DeleteFileA(path.c_str());
}

TEST(ProgressBar, ReportsMoveTheBarUntilACancel)
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 50, nullptr, nullptr,
                                  nullptr, nullptr);
    HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, 0, 0, 100, 10, window,
                               (HMENU)IDC_PROGRESS, nullptr, nullptr);
    ASSERT_NE(bar, nullptr);
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    InitializeCriticalSection(&RunLock);

    RunState = RUN_RUNNING;
    EXPECT_EQ(ReportProgress(window, 42), 0);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 42);
    RunState = RUN_CANCEL_REQUESTED;
    EXPECT_EQ(ReportProgress(window, 57), -1);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 0) << "a cancel leaves the bar at 0";
    EXPECT_EQ(ReportProgress(window, 100), -1);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 0);

    RunState = RUN_IDLE;
    DeleteCriticalSection(&RunLock);
    DestroyWindow(window);
}
