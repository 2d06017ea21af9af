// Splitting the argument text into paths, with recording stand-ins for the
// long-name conversion and for what is done with each path.
#include "core/cmdline.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

struct Recorder {
    std::vector<std::string> paths;
    std::vector<std::string> converted;     // paths given to the long-name conversion
    int failAt = -1;                        // the handled path that runs out of memory
};

Recorder *Current;

unsigned LongForm(const char *path, char *out, unsigned size)
{
    Current->converted.push_back(path);
    if (strcmp(path, "C:\\PROGRA~1\\x.txt") == 0) {
        snprintf(out, size, "C:\\Program Files\\x.txt");
        return (unsigned)strlen(out);
    }
    return 0;   // no long form: the path is used as written
}

// Relative paths are taken against this folder, as start-up's does; a
// buffer too small is told the size needed, as the system does.
unsigned FullForm(const char *path, char *out, unsigned size)
{
    std::string joined(strlen(path) + 32, '\0');
    if (MakeArgumentAbsolute("D:\\started here", path, &joined[0], joined.size()) < 0)
        return 0;
    unsigned length = (unsigned)strlen(joined.c_str());
    if (length >= size)
        return length + 1;
    memcpy(out, joined.c_str(), length + 1);
    return length;
}

int Record(void *context, const char *path)
{
    Recorder *recorder = (Recorder *)context;
    if ((int)recorder->paths.size() == recorder->failAt)
        return -1;
    recorder->paths.push_back(path);
    return 0;
}

struct Parse {
    int result;
    std::vector<std::string> paths;
    std::vector<std::string> converted;
    const char *cursor;
};

Parse ParseText(const char *text, int mode = ADD_LOCALLY, int failAt = -1)
{
    Recorder recorder;
    recorder.failAt = failAt;
    Current = &recorder;
    CommandLineActions actions = { FullForm, LongForm, Record, &recorder };
    const char *cursor = text;
    int result = ParseCommandLineText(&cursor, mode, &actions);
    return { result, recorder.paths, recorder.converted, cursor };
}

using Paths = std::vector<std::string>;

} // namespace

TEST(CommandLine, UnquotedPathsSplitBeforeADriveLetter)
{
    Parse p = ParseText("C:\\a b\\x.txt D:\\y.txt");
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(p.paths, (Paths{ "C:\\a b\\x.txt", "D:\\y.txt" }));
    EXPECT_EQ(p.cursor, nullptr);
    EXPECT_EQ(ParseText(" C:\\x.txt").paths, (Paths{ "C:\\x.txt" })) << "one space is skipped";
}

TEST(CommandLine, QuotedPathsAsWrittenAndNothingAfterTheLast)
{
    Parse p = ParseText("\"C:\\p q\\a.txt\" \"D:\\b.txt\"", SEND_TO_INSTANCE);
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(p.paths, (Paths{ "C:\\p q\\a.txt", "D:\\b.txt" }));
    EXPECT_TRUE(p.converted.empty()) << "quoted paths are not converted";

    p = ParseText("C:\\x.txt \"D:\\y z.txt\"");
    EXPECT_EQ(p.paths, (Paths{ "C:\\x.txt", "D:\\y z.txt" })) << "the quote before the drive is not kept";
}

TEST(CommandLine, UnterminatedQuoteEndsTheParse)
{
    Parse p = ParseText("\"C:\\a.txt\" \"D:\\b.txt");
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(p.paths, (Paths{ "C:\\a.txt" }));
    EXPECT_EQ(p.cursor, nullptr);
}

TEST(CommandLine, EmptyTextHandlesNothing)
{
    Parse p = ParseText("");
    EXPECT_EQ(p.result, 1);
    EXPECT_TRUE(p.paths.empty());
    EXPECT_EQ(ParseText("\"\"").paths, Paths{}) << "an empty quoted path";
}

TEST(CommandLine, ShortPathsTakeTheirLongFormOnlyUnquoted)
{
    EXPECT_EQ(ParseText("C:\\PROGRA~1\\x.txt").paths, (Paths{ "C:\\Program Files\\x.txt" }));
    EXPECT_EQ(ParseText("\"C:\\PROGRA~1\\x.txt\"").paths, (Paths{ "C:\\PROGRA~1\\x.txt" }));
}

TEST(CommandLine, PathsWithoutADriveAreSplitOnlyByQuotes)
{
    EXPECT_EQ(ParseText("\\\\server\\share\\a.txt \\\\server\\b.txt").paths,
              (Paths{ "\\\\server\\share\\a.txt \\\\server\\b.txt" }));
    EXPECT_EQ(ParseText("ab").paths, (Paths{ "D:\\started here\\ab" }));
}

TEST(CommandLine, RelativePathsAreTakenAgainstTheStartFolderBeforeTheirLongForm)
{
    Parse p = ParseText("\"report.pdf\" \"sub dir\\a.txt\" ..\\b.txt");
    EXPECT_EQ(p.paths, (Paths{ "D:\\started here\\report.pdf", "D:\\started here\\sub dir\\a.txt",
                               "D:\\started here\\..\\b.txt" }));
    EXPECT_EQ(p.converted, (Paths{ "D:\\started here\\..\\b.txt" })) << "the long form of the full path";
    EXPECT_EQ(ParseText("\\top.txt").paths, (Paths{ "D:\\top.txt" })) << "below the start folder's drive";

    char out[COMMAND_PATH_SIZE];
    EXPECT_EQ(MakeArgumentAbsolute("C:\\", "a.txt", out, sizeof out), 1);
    EXPECT_STREQ(out, "C:\\a.txt");
    EXPECT_EQ(MakeArgumentAbsolute("\\\\srv\\share\\dir", "\\x.txt", out, sizeof out), 1);
    EXPECT_STREQ(out, "\\\\srv\\share\\x.txt");
    for (const char *kept : { "C:\\a.txt", "c:/a.txt", "\\\\srv\\s\\a.txt", "C:a.txt" }) {
        EXPECT_EQ(MakeArgumentAbsolute("D:\\x", kept, out, sizeof out), 0) << kept;
        EXPECT_STREQ(out, kept);
    }
    EXPECT_EQ(MakeArgumentAbsolute("", "a.txt", out, sizeof out), 0) << "no folder known";
    std::string deep = "C:\\" + std::string(250, 'd');
    EXPECT_EQ(MakeArgumentAbsolute(deep.c_str(), "long name.txt", out, sizeof out), -1);
    EXPECT_EQ(ParseText(("\"" + std::string(250, 'r') + "\" D:\\ok.txt").c_str()).paths,
              (Paths{ "D:\\started here\\" + std::string(250, 'r'), "D:\\ok.txt" }))
        << "a relative path longer than MAX_PATH once joined is taken";
}

TEST(CommandLine, CursorStatesAndBadModes)
{
    const char *cursor = nullptr;
    CommandLineActions actions = { FullForm, LongForm, Record, nullptr };
    EXPECT_EQ(ParseCommandLineText(&cursor, ADD_LOCALLY, &actions), 0) << "already handled";

    Parse p = ParseText("C:\\a.txt", 3);
    EXPECT_EQ(p.result, -1);
    EXPECT_NE(p.cursor, nullptr) << "a bad mode leaves the text pending";

    const char *text = "\"C:\\a.txt\" \"D:\\b.txt\"";
    p = ParseText(text, ADD_LOCALLY, 1);
    EXPECT_EQ(p.result, -1);
    EXPECT_EQ(p.paths, (Paths{ "C:\\a.txt" }));
    EXPECT_STREQ(p.cursor, "\"D:\\b.txt\"") << "out of memory leaves the cursor on that path";
}

TEST(CommandLine, PathsOfAnyLengthAreTaken)
{
    std::string deep = "C:\\" + std::string(300, 'q');
    EXPECT_EQ(ParseText(("\"" + deep + "\" \"D:\\ok.txt\"").c_str()).paths, (Paths{ deep, "D:\\ok.txt" }));
    std::string exactly260 = "C:\\" + std::string(257, 'u');
    ASSERT_EQ(exactly260.size(), 260u);
    EXPECT_EQ(ParseText((exactly260 + " D:\\ok.txt").c_str()).paths, (Paths{ exactly260, "D:\\ok.txt" }));
    std::string longest = "C:\\" + std::string(32760, 'u');
    EXPECT_EQ(ParseText(longest.c_str()).paths, (Paths{ longest }));
}

TEST(CommandLine, VerifyFirstInAnyCaseTakesOneChecksumFile)
{
    Recorder recorder;
    Current = &recorder;
    CommandLineActions actions = { FullForm, LongForm, Record, &recorder };
    const struct {
        const char *text, *path;   // null: read as paths, as before
    } cases[] = {
        { "/verify \"C:\\a b\\SHA256SUMS\" ignored", "C:\\a b\\SHA256SUMS" },
        { " /VeRiFy C:\\a b\\x.md5  ", "C:\\a b\\x.md5" },
        { "/verify sums.sfv", "D:\\started here\\sums.sfv" },
        { "C:\\a.txt /verify D:\\b.md5", nullptr },
        { "\"/verify\" C:\\x.md5", nullptr },
        { "/verifyC:\\x.md5", nullptr },
        { "/verify", nullptr },
        { "/verify \"\"", nullptr },
    };
    for (const auto &c : cases) {
        char *path = nullptr;
        EXPECT_EQ(ParseVerifyRequest(c.text, &actions, &path), c.path != nullptr ? 1 : 0) << c.text;
        EXPECT_STREQ(path, c.path) << c.text;
        free(path);
    }
    EXPECT_EQ(ParseText("C:\\a.txt /verify").paths, (Paths{ "C:\\a.txt /verify" })) << "a path as before";
}
