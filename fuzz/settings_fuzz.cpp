// Fuzzing the settings' value rules and key names against a model of them:
// values applied in any order to any key (in range or not), formatted into
// buffers of any size, and read back.
//
// Input: the starting language id (two bytes), then operations of a few
// bytes each: an operation byte (bits 0-1: apply, format, key name,
// language; bit 2: a value from the list below instead of one from the
// input), a key byte (below 0xF0 a key from -2 to 12, else four bytes of any
// key), then the operation's own fields.
#include "base/lang.h"
#include "base/texts.h"
#include "base/settings.h"
#include "base/textutil.h"

#include "fuzz_support.h"

#include <string>

namespace {

const char *const KeyNames[SETTING_KEY_COUNT] = {
    "language", "OnTop", "CalcCRC32", "CalcMD5", "DisplayCRC32Lower", "DisplayMD5Lower",
    "lvCol0", "lvCol1", "lvCol2", "lvCol3", "lvCol4",
};

const char *const ListedValues[] = {
    "1", "0", "", "Fran\xE7" "ais", "fRAN\xE7" "AIS", "FRAN\xC7" "AIS", "Francais", "English",
    "10", "-7", "1x", " 1", "2147483647",
};

enum { OP_APPLY, OP_FORMAT, OP_NAME, OP_LANGUAGE };

int16_t SettingsRecord::*const Flags[] = {
    &SettingsRecord::OnTop, &SettingsRecord::CalcCRC32, &SettingsRecord::CalcMD5,
    &SettingsRecord::DisplayCRC32Lower, &SettingsRecord::DisplayMD5Lower,
};

bool IsFrenchName(const std::string &value)
{
    static const char french[] = "fran\xE7" "ais";
    if (value.size() != sizeof french - 1)
        return false;
    for (size_t i = 0; i < value.size(); i++) {
        char c = value[i];
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
        if (c != french[i])
            return false;
    }
    return true;
}

// The rule of the settings file, written out once more.
void ModelApply(SettingsRecord *s, int key, const std::string &value, int32_t asInteger)
{
    if (value.empty())
        return;
    if (key == KEY_LANGUAGE)
        s->LanguageId = IsFrenchName(value) ? LANGUAGE_ID_FRENCH : LANGUAGE_ID_ENGLISH;
    else if (key >= KEY_COLUMN_0 && key < SETTING_KEY_COUNT)
        s->lvCol[key - KEY_COLUMN_0] = asInteger;
    else if (key >= KEY_ON_TOP && key < KEY_COLUMN_0)
        s->*Flags[key - KEY_ON_TOP] = value[0] == '1' ? 1 : 0;
}

// The text written for an in-range key.
std::string ModelFormat(const SettingsRecord &s, int key, const char *languageName)
{
    if (key == KEY_LANGUAGE)
        return languageName;
    if (key >= KEY_COLUMN_0)
        return std::to_string(s.lvCol[key - KEY_COLUMN_0]);
    return s.*Flags[key - KEY_ON_TOP] == 1 ? "1" : "0";
}

bool InRange(int key) { return key >= 0 && key < SETTING_KEY_COUNT; }

void CheckSame(const SettingsRecord &got, const SettingsRecord &expected, const char *after, int key)
{
    FUZZ_CHECK(got.LanguageId == expected.LanguageId, "language %u, not %u after %s of key %d", got.LanguageId,
               expected.LanguageId, after, key);
    for (int i = 0; i < (int)ARRAY_SIZE(Flags); i++)
        FUZZ_CHECK(got.*Flags[i] == expected.*Flags[i] && (got.*Flags[i] == 0 || got.*Flags[i] == 1),
                   "flag key %d holds %d, not %d after %s of key %d", KEY_ON_TOP + i, got.*Flags[i],
                   expected.*Flags[i], after, key);
    for (int i = 0; i < COLUMN_COUNT; i++)
        FUZZ_CHECK(got.lvCol[i] == expected.lvCol[i], "lvCol%d %d, not %d after %s of key %d", i, got.lvCol[i],
                   expected.lvCol[i], after, key);
}

// Every key written as the settings file would get it and read back.
void CheckReadBack(const SettingsRecord &s)
{
    const char *languageName = LanguageTable(s.LanguageId)[TEXT_LANGUAGE_NAME];
    for (int key = 0; key < SETTING_KEY_COUNT; key++) {
        char value[SETTINGS_VALUE_SIZE];
        SettingsFormatValue(&s, key, languageName, value, sizeof value);
        std::string expected = ModelFormat(s, key, languageName);
        FUZZ_CHECK(expected.size() < sizeof value && expected == value, "key %d written \"%s\", not \"%s\"", key,
                   value, expected.c_str());
        SettingsRecord back = s;
        SettingsApplyValue(&back, key, value, (int32_t)strtol(value, nullptr, 10));
        SettingsRecord expectedBack = s;
        if (key == KEY_LANGUAGE)
            expectedBack.LanguageId = s.LanguageId == LANGUAGE_ID_FRENCH ? LANGUAGE_ID_FRENCH : LANGUAGE_ID_ENGLISH;
        CheckSame(back, expectedBack, "a read back", key);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput in(data, size);
    SettingsRecord settings;
    SettingsSetDefaults(&settings);
    settings.LanguageId = (uint16_t)in.Bytes(2);
    SettingsRecord model = settings;
    CheckReadBack(settings);

    for (int steps = 0; !in.Empty() && steps < 200; steps++) {
        uint8_t op = in.Byte();
        uint8_t keyByte = in.Byte();
        int key = keyByte < 0xF0 ? keyByte % (SETTING_KEY_COUNT + 4) - 2 : (int)in.U32();
        std::string value = op & 4 ? ListedValues[in.Byte() % ARRAY_SIZE(ListedValues)] : in.Text(80);
        ExactText valueText(value);
        value = valueText.Bytes;    // what the program reads of it

        switch (op & 3) {
        case OP_APPLY: {
            int32_t asInteger = (int32_t)in.U32();
            SettingsApplyValue(&settings, key, valueText.Bytes, asInteger);
            ModelApply(&model, key, value, asInteger);
            CheckSame(settings, model, "an apply", key);
            if (!value.empty() && InRange(key))
                CheckReadBack(settings);
            break;
        }
        case OP_FORMAT: {
            ExactBuffer text(in.Byte() % 80);
            const char *languageName = op & 8 ? valueText.Bytes : LanguageTable(settings.LanguageId)[TEXT_LANGUAGE_NAME];
            SettingsFormatValue(&settings, key, languageName, text.Bytes, text.Size);
            if (text.Size > 0)
                FUZZ_CHECK(strnlen(text.Bytes, text.Size) < text.Size, "key %d formatted without its end", key);
            if (InRange(key) && text.Size > 0) {
                std::string expected = CutTo(ModelFormat(settings, key, languageName), text.Size);
                FUZZ_CHECK(expected == text.Bytes, "key %d in %zu bytes: \"%s\", not \"%s\"", key, text.Size,
                           text.Bytes, expected.c_str());
            }
            break;
        }
        case OP_NAME: {
            ExactBuffer name(in.Byte() % 24);
            SettingKeyName(key, name.Bytes, name.Size);
            if (name.Size > 0) {
                std::string expected = CutTo(InRange(key) ? KeyNames[key] : "", name.Size);
                FUZZ_CHECK(expected == name.Bytes, "key %d named \"%s\" in %zu bytes, not \"%s\"", key, name.Bytes,
                           name.Size, expected.c_str());
            }
            break;
        }
        default: {
            uint16_t current = (uint16_t)in.Bytes(2);
            uint16_t expected = value.empty() ? current : IsFrenchName(value) ? LANGUAGE_ID_FRENCH : LANGUAGE_ID_ENGLISH;
            uint16_t got = LanguageFromSetting(valueText.Bytes, current);
            FUZZ_CHECK(got == expected, "language %u from \"%s\", not %u", got, valueText.Bytes, expected);
            FUZZ_CHECK(LanguageFromSetting(nullptr, current) == current, "no value changed the language");
            break;
        }
        }
    }
    return 0;
}
