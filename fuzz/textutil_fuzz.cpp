// Fuzzing the shared text helpers: bounded copies, appends and formats into
// buffers of their exact size, ASCII-only case folding and comparison, the
// file name of a path and heap copies, each against a plain model.
//
// Input: operations, each an operation byte (bits 0-2 which helper; bit 3
// for a comparison: the second text is the first with its letters' case
// flipped; bit 4 for an append: the text already there fills its buffer),
// a size byte, then texts of a length byte and their bytes.
#include "base/textutil.h"

#include "fuzz_support.h"

#include <string>

namespace {

enum { OP_COPY, OP_APPEND, OP_FORMAT, OP_COMPARE, OP_LOWER, OP_UPPER, OP_FILE_NAME, OP_DUPLICATE };

char ModelLower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c + 32) : c; }
char ModelUpper(char c) { return c >= 'a' && c <= 'z' ? (char)(c - 32) : c; }

std::string Lowered(const std::string &text)
{
    std::string out = text;
    for (auto &c : out)
        c = ModelLower(c);
    return out;
}

void CheckCopy(const std::string &source, size_t size)
{
    ExactText src(source);
    ExactBuffer dst(size);
    std::string before = dst.Contents();
    int result = CopyText(dst.Bytes, size, src.Bytes);
    if (src.Size <= size)
        FUZZ_CHECK(result == 0 && strcmp(dst.Bytes, src.Bytes) == 0, "copy of %zu bytes into %zu: %d", src.Size,
                   size, result);
    else
        FUZZ_CHECK(result == -1 && dst.Contents() == before, "copy of %zu bytes into %zu: %d, buffer changed",
                   src.Size, size, result);
}

void CheckAppend(const std::string &start, const std::string &source, size_t size, bool full)
{
    ExactText src(source);
    ExactBuffer dst(size);
    size_t used = 0;
    if (!full && size > 0) {
        used = strnlen(start.c_str(), start.size()) % size;
        memcpy(dst.Bytes, start.c_str(), used);
        dst.Bytes[used] = '\0';
    } else {
        used = size;    // no terminator in the buffer at all
    }
    std::string before = dst.Contents();
    int result = AppendText(dst.Bytes, size, src.Bytes);
    if (used < size && used + src.Size <= size)
        FUZZ_CHECK(result == 0 && std::string(dst.Bytes) == before.substr(0, used) + src.Bytes,
                   "append of %zu bytes to %zu in %zu: %d", src.Size, used, size, result);
    else
        FUZZ_CHECK(result == -1 && dst.Contents() == before, "append of %zu bytes to %zu in %zu: %d, buffer changed",
                   src.Size, used, size, result);
}

void CheckFormat(const std::string &text, int number, size_t size)
{
    ExactText arg(text);
    ExactBuffer dst(size);
    std::string expected = std::string(arg.Bytes) + "|" + std::to_string(number);
    int result = FormatText(dst.Bytes, size, "%s|%d", arg.Bytes, number);
    if (expected.size() < size)
        FUZZ_CHECK(result == 0 && expected == dst.Bytes, "format of %zu bytes into %zu: %d", expected.size() + 1,
                   size, result);
    else
        FUZZ_CHECK(result == -1 && (size == 0 || dst.Bytes[0] == '\0'), "format of %zu bytes into %zu: %d",
                   expected.size() + 1, size, result);
}

void CheckCompare(const std::string &first, const std::string &second, size_t n)
{
    ExactText a(first), b(second);
    std::string left = a.Bytes, right = b.Bytes;
    bool equal = Lowered(left) == Lowered(right);
    FUZZ_CHECK(AsciiEqualNoCase(a.Bytes, b.Bytes) == (equal ? 1 : 0), "\"%s\" and \"%s\" compared wrongly", a.Bytes,
               b.Bytes);
    bool equalN = Lowered(left.substr(0, n)) == Lowered(right.substr(0, n));
    FUZZ_CHECK(AsciiEqualNoCaseN(a.Bytes, b.Bytes, n) == (equalN ? 1 : 0),
               "\"%s\" and \"%s\" compared wrongly over %zu", a.Bytes, b.Bytes, n);
}

void CheckFolding(const std::string &source, bool lower)
{
    ExactText text(source);
    std::string expected = text.Bytes;
    for (auto &c : expected)
        c = lower ? ModelLower(c) : ModelUpper(c);
    if (lower)
        AsciiLowerText(text.Bytes);
    else
        AsciiUpperText(text.Bytes);
    FUZZ_CHECK(expected == text.Bytes, "\"%s\" folded as \"%s\"", expected.c_str(), text.Bytes);
    for (char c : expected)
        FUZZ_CHECK(AsciiLower(c) == ModelLower(c), "byte %d lowered to %d", c, AsciiLower(c));
}

void CheckFileName(const std::string &source)
{
    ExactText path(source);
    const char *name = PathFileName(path.Bytes);
    const char *slash = strrchr(path.Bytes, '\\');
    const char *expected = slash ? slash + 1 : path.Bytes;
    FUZZ_CHECK(name == expected, "file name of \"%s\" at %td, not %td", path.Bytes, name - path.Bytes,
               expected - path.Bytes);
}

void CheckDuplicate(const std::string &source)
{
    ExactText text(source);
    char *copy = DuplicateText(text.Bytes);
    FUZZ_CHECK(copy != nullptr && copy != text.Bytes && strcmp(copy, text.Bytes) == 0, "copy of \"%s\"", text.Bytes);
    free(copy);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    for (int steps = 0; !in.Empty() && steps < 100; steps++) {
        uint8_t op = in.Byte();
        size_t bufferSize = in.Byte();
        std::string first = in.Text();
        switch (op & 7) {
        case OP_COPY:
            CheckCopy(first, bufferSize);
            break;
        case OP_APPEND:
            CheckAppend(in.Text(), first, bufferSize, op & 16);
            break;
        case OP_FORMAT:
            CheckFormat(first, (int)in.U32(), bufferSize);
            break;
        case OP_COMPARE: {
            std::string second = in.Text();
            if (op & 8) {
                second = first;
                for (auto &c : second)
                    c = ModelLower(c) == c ? ModelUpper(c) : ModelLower(c);
            }
            CheckCompare(first, second, bufferSize);
            break;
        }
        case OP_LOWER:
        case OP_UPPER:
            CheckFolding(first, (op & 7) == OP_LOWER);
            break;
        case OP_FILE_NAME:
            CheckFileName(first);
            break;
        default:
            CheckDuplicate(first);
            break;
        }
    }
    return 0;
}
