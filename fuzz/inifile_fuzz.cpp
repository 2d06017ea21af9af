// Fuzzing the settings file text: any bytes read and updated with keys and
// sections from a short list, into value buffers of any size. An update
// must be read back, change no other key, keep every byte outside the value
// it replaces or the lines it adds, and change nothing when repeated.
//
// Input: a size byte for the value buffers, then operations of three bytes
// (section, key and value, each chosen from the lists below) up to a zero
// byte, then the text.
#include "base/inifile.h"
#include "base/textutil.h"

#include "fuzz_support.h"

#include <string>
#include <vector>

namespace {

const char *const Sections[] = { "General", "general", "Other", "" };
const char *const Keys[] = { "language", "LANGUAGE", "OnTop", "lvCol0", "a", "" };
const char *const Values[] = { ("Fran\xE7" "ais"), "English", "0", "1", "", "\xC3\xA9t\xC3\xA9", "-5" };

std::string Get(const std::string &text, const char *section, const char *key, size_t size, int *result)
{
    ExactBuffer value(size);
    *result = IniGetValue(text.c_str(), text.size(), section, key, value.Bytes, size);
    if (size == 0)
        return std::string();
    size_t length = strnlen(value.Bytes, size);
    FUZZ_CHECK(length < size, "value not terminated in %zu bytes", size);
    FUZZ_CHECK(*result == 0 || length == 0, "a key not found leaves a value");
    return std::string(value.Bytes, length);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    size_t valueSize = in.Byte();
    std::vector<uint8_t> ops;
    for (uint8_t op; (op = in.Byte()) != 0 && ops.size() < 30;)
        ops.push_back(op);
    std::string start = in.Rest();

    IniText ini = {};
    ini.Bytes = (char *)malloc(start.size() + 1);
    FUZZ_CHECK(ini.Bytes != nullptr, "no memory");
    memcpy(ini.Bytes, start.data(), start.size());
    ini.Bytes[start.size()] = '\0';
    ini.Length = start.size();
    ini.Capacity = start.size() + 1;

    for (uint8_t op : ops) {
        const char *section = Sections[op % 4], *key = Keys[(op / 4) % 6], *value = Values[(op / 24) % 7];
        std::string before(ini.Bytes, ini.Length);
        int found;
        std::string old = Get(before, section, key, 256, &found);
        // The other keys of the list, as they read before.
        std::vector<std::string> others;
        for (const char *otherSection : Sections)
            for (const char *otherKey : Keys)
                others.push_back(Get(before, otherSection, otherKey, valueSize, &found));

        int result = IniSetValue(&ini, section, key, value);
        std::string after(ini.Bytes, ini.Length);
        FUZZ_CHECK(result == 0 || result == 1, "update result %d", result);
        FUZZ_CHECK((result == 0) == (after == before), "result %d for a text %s", result,
                   after == before ? "unchanged" : "changed");
        FUZZ_CHECK(Get(after, section, key, 256, &found) == value && found == 0, "the value set is not read back");
        FUZZ_CHECK(IniSetValue(&ini, section, key, value) == 0 && std::string(ini.Bytes, ini.Length) == after,
                   "a repeated update changed the text");

        size_t i = 0;
        for (const char *otherSection : Sections)
            for (const char *otherKey : Keys) {
                bool same = AsciiEqualNoCase(otherSection, section) && AsciiEqualNoCase(otherKey, key);
                FUZZ_CHECK(same || Get(after, otherSection, otherKey, valueSize, &found) == others[i],
                           "[%s] %s changed by setting [%s] %s", otherSection, otherKey, section, key);
                i++;
            }

        // The old text stands whole around the one place that changed, apart
        // from the old value itself (and its quotes; a value read up to a
        // zero byte is replaced whole to its line's end).
        size_t prefix = 0, suffix = 0;
        while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
            prefix++;
        while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
               before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
            suffix++;
        std::string lost = before.substr(prefix, before.size() - prefix - suffix);
        FUZZ_CHECK(lost.find_first_of("\r\n") == std::string::npos, "a line end lost");
        FUZZ_CHECK(lost.size() <= old.size() + 2 || lost.find('\0') != std::string::npos,
                   "%zu bytes of the old text lost", lost.size());
    }
    IniRelease(&ini);
    return 0;
}
