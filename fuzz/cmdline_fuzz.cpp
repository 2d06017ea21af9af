// Fuzzing the split of the command line's argument text into paths, with
// stand-ins for the full and long forms and for what is done with a path.
//
// Input: options byte (bits 0-1 mode: add, send, bad mode, already handled;
// bits 2-3 long form: none, longer text, a length that does not fit, as
// written; bits 4-7 the handled path that runs out of memory, 15 for none),
// a choice byte (bits 0-2 the start folder, bit 3 a text written from a
// list of paths, bits 4-5 the bad mode), the size of the buffer of a direct
// MakeArgumentAbsolute call, then the argument text. A text "folder|path"
// also joins its two parts directly. With bit 3, the text is a list of
// paths, one a line, written as a command line that the parse must give
// back. The text is also read as a verification request.
#include "base/textutil.h"
#include "core/cmdline.h"

#include "fuzz_support.h"

#include <limits.h>
#include <strings.h>

#include <string>
#include <vector>

namespace {

enum { LONG_NONE, LONG_LONGER, LONG_TOO_BIG, LONG_AS_WRITTEN, NEVER_FAIL = 15 };

const char *const StartFolders[] = {
    "D:\\started here", "C:\\", "\\\\server\\share\\dir", "",
    "C:\\deep\\dddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddd"
    "dddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddd"
    "ddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddd",
};
const int BadModes[] = { 0, 3, -1, INT_MIN };

struct Recorder {
    const char *Text;           // the whole argument text
    const char *Folder;
    int LongMode;
    int FailAt;                 // index of the handled path that runs out of memory
    std::vector<std::string> Handed;    // every path handed over, the failing one too
    std::string LastFull;       // what FullPath wrote last, not yet handed over
    bool FullPending = false;
    bool HaveLong = false;
    std::string LastLong;
    int Calls = 0;              // stand-in calls of every kind
};

Recorder *Current;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Like the system's calls: form written into out and its length, or the
// size needed (with the terminator) when out is too small, writing nothing.
unsigned Answer(const std::string &form, char *out, unsigned size)
{
    if (form.size() >= size)
        return (unsigned)form.size() + 1;
    memcpy(out, form.c_str(), form.size() + 1);
    return (unsigned)form.size();
}

unsigned FullPath(const char *path, char *out, unsigned size)
{
    Recorder *r = Current;
    r->Calls++;
    size_t length = strlen(path);
    FUZZ_CHECK(length > 0, "full form asked of an empty path");
    FUZZ_CHECK(size > length, "full form buffer %u for a path %zu long", size, length);
    FUZZ_CHECK(strstr(r->Text, path) != nullptr, "full form asked of \"%s\", not in the text", path);
    r->FullPending = false;
    r->HaveLong = false;
    std::string full(length + strlen(r->Folder) + 2, '\0');
    if (MakeArgumentAbsolute(r->Folder, path, &full[0], full.size()) < 0)
        return 0;
    full.resize(strlen(full.c_str()));
    unsigned answer = Answer(full, out, size);
    r->LastFull = full;
    r->FullPending = answer < size;
    return answer;
}

// The long form a stand-in gives; false for none.
bool LongFormOf(const char *path, int mode, std::string *form)
{
    if (mode == LONG_NONE || mode == LONG_TOO_BIG)
        return false;
    form->clear();
    for (const char *p = path; *p; p++)
        *form += mode == LONG_LONGER && *p == '~' ? std::string("~ long name ") : std::string(1, *p);
    return true;
}

unsigned LongPath(const char *path, char *out, unsigned size)
{
    Recorder *r = Current;
    r->Calls++;
    FUZZ_CHECK(r->FullPending && r->LastFull == path, "long form asked of \"%s\", not the full path", path);
    FUZZ_CHECK(size > strlen(path), "long form buffer %u", size);
    // A form that asks for more every time it is given what it asked.
    if (r->LongMode == LONG_TOO_BIG)
        return size + 1 + (unsigned)(strlen(path) % 3);
    std::string form;
    if (!LongFormOf(path, r->LongMode, &form))
        return 0;
    unsigned answer = Answer(form, out, size);
    r->HaveLong = answer < size;
    r->LastLong = form;
    return answer;
}

int HandlePath(void *context, const char *path)
{
    Recorder *r = (Recorder *)context;
    r->Calls++;
    size_t length = strlen(path);
    FUZZ_CHECK(length > 0, "an empty path handed over");
    FUZZ_CHECK(r->FullPending, "\"%s\" handed over without its full form", path);
    const std::string &expected = r->HaveLong ? r->LastLong : r->LastFull;
    FUZZ_CHECK(expected == path, "handed \"%s\", made \"%s\"", path, expected.c_str());
    r->FullPending = false;
    r->HaveLong = false;
    r->Handed.push_back(path);
    return (int)r->Handed.size() - 1 == r->FailAt ? -1 : 0;
}

struct Parse {
    int Result;
    const char *Cursor;
    std::vector<std::string> Handed;
    int Calls;
};

Parse ParseFrom(const char *text, const char *start, int mode, const char *folder, int longMode, int failAt)
{
    Recorder recorder;
    recorder.Text = text;
    recorder.Folder = folder;
    recorder.LongMode = longMode;
    recorder.FailAt = failAt;
    Current = &recorder;
    CommandLineActions actions = { FullPath, LongPath, HandlePath, &recorder };
    const char *cursor = start;
    int result = ParseCommandLineText(&cursor, mode, &actions);
    return { result, cursor, recorder.Handed, recorder.Calls };
}

// The join of a relative path: checked for its form with room to spare,
// then with the fuzzed size against that.
void CheckJoin(const char *folder, const char *path, size_t size)
{
    size_t folderLength = strlen(folder), pathLength = strlen(path);
    ExactBuffer wide(folderLength + pathLength + 2);
    int joined = MakeArgumentAbsolute(folder, path, wide.Bytes, wide.Size);
    FUZZ_CHECK(joined == 0 || joined == 1, "join of \"%s\" and \"%s\" gave %d with room", folder, path, joined);
    std::string out = wide.Bytes;
    bool kept = (IsDriveLetter(path[0]) && path[1] == ':') || (IsSeparator(path[0]) && IsSeparator(path[1])) ||
                folder[0] == '\0';
    if (kept)
        FUZZ_CHECK(joined == 0, "\"%s\" joined to \"%s\"", path, folder);
    if (joined == 0) {
        FUZZ_CHECK(out == path, "\"%s\" kept as \"%s\"", path, out.c_str());
    } else {
        FUZZ_CHECK(out.size() > pathLength && out.compare(out.size() - pathLength, pathLength, path) == 0,
                   "\"%s\" does not end \"%s\"", out.c_str(), path);
        std::string head = out.substr(0, out.size() - pathLength);
        if (IsSeparator(path[0])) {
            bool driveRoot = head.size() == 2 && IsDriveLetter(head[0]) && head[1] == ':';
            bool shareRoot = head.size() > 2 && IsSeparator(head[0]) && IsSeparator(head[1]);
            FUZZ_CHECK((driveRoot || shareRoot) && strncmp(folder, head.c_str(), head.size()) == 0,
                       "\"%s\" put below \"%s\" of \"%s\"", path, head.c_str(), folder);
        } else {
            std::string expected = folder;
            if (!IsSeparator(expected.back()))
                expected += '\\';
            FUZZ_CHECK(head == expected, "\"%s\" put below \"%s\" of \"%s\"", path, head.c_str(), folder);
        }
    }

    ExactBuffer small(size);
    int result = MakeArgumentAbsolute(folder, path, small.Bytes, size);
    if (out.size() < size)
        FUZZ_CHECK(result == joined && out == small.Bytes, "with %zu bytes: %d \"%.*s\"", size, result,
                   (int)size, small.Bytes);
    else
        FUZZ_CHECK(result == -1, "\"%s\" in %zu bytes gave %d", out.c_str(), size, result);
}

// Writes paths as a command line: a path that starts with a drive and has
// no other colon goes unquoted when the next path starts with a drive too
// (or none follows), any other one goes quoted. *expected gets the paths the
// parse must hand over for them.
std::string WriteCommandLine(const std::string &list, const char *folder, int longMode,
                             std::vector<std::string> *expected)
{
    std::vector<std::string> paths;
    std::string path;
    for (char c : list + "\n") {
        if (c == '\n') {
            if (!path.empty())
                paths.push_back(path);
            path.clear();
        } else if (c != '"' && c != '\0') {
            path += c;
        }
    }
    auto hasDrive = [](const std::string &p) { return p.size() >= 2 && IsDriveLetter(p[0]) && p[1] == ':'; };
    std::string text;
    for (size_t i = 0; i < paths.size(); i++) {
        const std::string &p = paths[i];
        bool unquoted = hasDrive(p) && p.find(':', 2) == std::string::npos &&
                        (i + 1 == paths.size() || hasDrive(paths[i + 1]));
        if (i > 0)
            text += ' ';
        text += unquoted ? p : '"' + p + '"';

        std::string full(p.size() + strlen(folder) + 2, '\0');
        if (MakeArgumentAbsolute(folder, p.c_str(), &full[0], full.size()) < 0)
            continue;
        full.resize(strlen(full.c_str()));
        std::string form;
        if (unquoted && LongFormOf(full.c_str(), longMode, &form))
            expected->push_back(form);
        else
            expected->push_back(full);
    }
    return text;
}

// A verification is asked only by an unquoted "/verify" first, in any
// case, then a blank; its one path is the full (or long) form made of part
// of the text.
void CheckVerifyRequest(const char *text, const char *folder, int longMode)
{
    Recorder recorder;
    recorder.Text = text;
    recorder.Folder = folder;
    recorder.LongMode = longMode;
    Current = &recorder;
    CommandLineActions actions = { FullPath, LongPath, HandlePath, &recorder };
    char *path;
    int asked = ParseVerifyRequest(text, &actions, &path);
    const char *first = text + strspn(text, " \t");
    bool switchFirst = strncasecmp(first, "/verify", 7) == 0 && (first[7] == ' ' || first[7] == '\t');
    FUZZ_CHECK(asked == 0 || (asked == 1 && switchFirst), "\"%s\" taken for a verification: %d", text, asked);
    if (asked == 1)
        FUZZ_CHECK(path[0] != '\0' && path == (recorder.HaveLong ? recorder.LastLong : recorder.LastFull),
                   "verify \"%s\" of \"%s\"", path, text);
    free(path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    uint8_t options = in.Byte();
    uint8_t choice = in.Byte();
    size_t joinSize = in.Byte();
    int modeChoice = options & 3;
    int longMode = (options >> 2) & 3;
    int failAt = options >> 4;
    const char *folder = StartFolders[(choice & 7) % ARRAY_SIZE(StartFolders)];
    bool written = choice & 8;
    std::vector<std::string> expected;
    ExactText text(written ? WriteCommandLine(in.Rest(), folder, longMode, &expected) : in.Rest());

    const char *bar = strchr(text.Bytes, '|');
    if (bar != nullptr) {
        ExactText joinFolder(std::string(text.Bytes, (size_t)(bar - text.Bytes)));
        ExactText joinPath(bar + 1);
        CheckJoin(joinFolder.Bytes, joinPath.Bytes, joinSize);
    } else {
        CheckJoin(folder, text.Bytes, joinSize);
    }

    CheckVerifyRequest(text.Bytes, folder, longMode);
    if (modeChoice == 3) {
        const char *cursor = nullptr;
        CommandLineActions actions = { FullPath, LongPath, HandlePath, nullptr };
        FUZZ_CHECK(ParseCommandLineText(&cursor, ADD_LOCALLY, &actions) == 0 && cursor == nullptr,
                   "a handled text parsed again");
        return 0;
    }
    if (modeChoice == 2) {
        int mode = BadModes[(choice >> 4) & 3];
        Parse bad = ParseFrom(text.Bytes, text.Bytes, mode, folder, longMode, NEVER_FAIL);
        FUZZ_CHECK(bad.Result == -1 && bad.Cursor == text.Bytes && bad.Calls == 0,
                   "mode %d gave %d after %d calls", mode, bad.Result, bad.Calls);
        return 0;
    }
    int mode = modeChoice == 0 ? ADD_LOCALLY : SEND_TO_INSTANCE;

    Parse all = ParseFrom(text.Bytes, text.Bytes, mode, folder, longMode, -1);
    FUZZ_CHECK(all.Result == 1 && all.Cursor == nullptr, "a whole parse gave %d", all.Result);
    if (written)
        FUZZ_CHECK(all.Handed == expected, "\"%s\" gave %zu paths, not %zu", text.Bytes, all.Handed.size(),
                   expected.size());
    if (failAt == NEVER_FAIL || failAt >= (int)all.Handed.size())
        return 0;

    Parse failed = ParseFrom(text.Bytes, text.Bytes, mode, folder, longMode, failAt);
    std::vector<std::string> before(all.Handed.begin(), all.Handed.begin() + failAt + 1);
    FUZZ_CHECK(failed.Result == -1 && failed.Handed == before, "out of memory at path %d gave %d after %zu paths",
               failAt, failed.Result, failed.Handed.size());
    size_t length = strlen(text.Bytes);
    FUZZ_CHECK(failed.Cursor != nullptr && failed.Cursor >= text.Bytes && failed.Cursor < text.Bytes + length,
               "out of memory left the cursor outside the text");

    // Taken up again at the cursor, the parse hands over the failed path and
    // the rest. Not so for an unquoted path written after a space that itself
    // starts with a space or a quote: read again, that space is taken for a
    // separator or the quote for a quoted path. The program ends when memory
    // runs out and never reads the text again, so only the others are held
    // to it.
    const char *at = failed.Cursor;
    if (at > text.Bytes && at[-1] == ' ' && (*at == ' ' || *at == '"'))
        return 0;
    Parse again = ParseFrom(text.Bytes, failed.Cursor, mode, folder, longMode, -1);
    std::vector<std::string> after(all.Handed.begin() + failAt, all.Handed.end());
    FUZZ_CHECK(again.Result == 1 && again.Handed == after, "taken up at \"%s\": %zu paths, not %zu",
               failed.Cursor, again.Handed.size(), after.size());
    return 0;
}
