// The history of checksums: session log records read from the right (a name
// may hold blanks and characters of several bytes, so its width says
// nothing), and an open-addressing index of their keys.
#include "core/history.h"

#include "app/textutil.h"
#include "checksum/clock.h"
#include "core/keyedhash.h"
#include "core/sessionlog.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

void *(*HistoryAllocate)(size_t size) = malloc;

struct HistorySlot {
    uint32_t Hash;      // low bits of the key's hash
    uint32_t Entry;     // entry number + 1; 0 for an empty slot
};

struct HistoryEntry {
    const char *Name;   // in a name block
    uint64_t Size;
    uint64_t Stamp;
    uint32_t Crc32;
    uint16_t NameLength;
    uint8_t Kinds;
    unsigned char Md5[16];
};

enum {
    CRC_DIGITS = 8,
    MD5_DIGITS = 32,
    GAP = 4,                         // the blanks around the CRC and before the time and MD5
    HISTORY_BLOCK_ENTRIES = 1 << 14,
    NAME_BLOCK_SIZE = 1 << 20,
    FIRST_SLOTS = 1 << 10,
    MAX_ENTRIES = 1u << 30,          // slots stay below 2^31
};

static const char NoCrcField[] = "########";

// ---------------------------------------------------------------- records

// The value of each byte as a hex digit (either case), or -1: a table, as
// every line of an archive of millions is read for its digits.
struct HexDigits {
    signed char Value[256];
};

static constexpr HexDigits MakeHexDigits()
{
    HexDigits digits = {};
    for (int c = 0; c < 256; c++)
        digits.Value[c] = (signed char)(c >= '0' && c <= '9'   ? c - '0'
                                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                               : -1);
    return digits;
}

static constexpr HexDigits Hex = MakeHexDigits();

static int HexValue(char c)
{
    return Hex.Value[(unsigned char)c];
}

// count hex digits (either case) into bytes, two to a byte. Returns 0 or -1.
static int ReadHex(const char *text, size_t count, unsigned char *bytes)
{
    for (size_t i = 0; i < count; i += 2) {
        int high = HexValue(text[i]), low = HexValue(text[i + 1]);
        if (high < 0 || low < 0)
            return -1;
        bytes[i / 2] = (unsigned char)(high << 4 | low);
    }
    return 0;
}

static int ReadCrcHex(const char *text, uint32_t *crc)
{
    unsigned char bytes[CRC_DIGITS / 2];
    if (ReadHex(text, CRC_DIGITS, bytes) != 0)
        return -1;
    *crc = (uint32_t)bytes[0] << 24 | (uint32_t)bytes[1] << 16 | (uint32_t)bytes[2] << 8 | bytes[3];
    return 0;
}

static bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

static bool AllBlanks(const char *text, size_t count)
{
    for (size_t i = 0; i < count; i++)
        if (text[i] != ' ')
            return false;
    return true;
}

// The number of the count digits at text; the caller checked they are digits.
static int Digits(const char *text, int count)
{
    int value = 0;
    for (int i = 0; i < count; i++)
        value = value * 10 + (text[i] - '0');
    return value;
}

static bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int ParseHistoryTime(const char *text, size_t length, uint64_t *stamp)
{
    static const char form[] = "00:00.00 0000-00-00";   // 0 marks a digit
    if (text == nullptr || length != HISTORY_TIME_LENGTH)
        return -1;
    for (size_t i = 0; i < HISTORY_TIME_LENGTH; i++)
        if (form[i] == '0' ? !IsDigit(text[i]) : text[i] != form[i])
            return -1;
    int hour = Digits(text, 2), minute = Digits(text + 3, 2), second = Digits(text + 6, 2);
    int year = Digits(text + 9, 4), month = Digits(text + 14, 2), day = Digits(text + 17, 2);
    static const int monthDays[12] = { 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    // A second of 60 is the leap second of the zones that keep them.
    if (hour > 23 || minute > 59 || second > 60 || month < 1 || month > 12 || day < 1 ||
        day > monthDays[month - 1] || (month == 2 && day == 29 && !IsLeapYear(year)))
        return -1;
    *stamp = (uint64_t)year << 26 | (uint64_t)month << 22 | (uint64_t)day << 17 | (uint64_t)hour << 12 |
             (uint64_t)minute << 6 | (uint64_t)second;
    return 0;
}

void FormatHistoryTime(uint64_t stamp, char text[HISTORY_TIME_SIZE])
{
    snprintf(text, HISTORY_TIME_SIZE, "%02u:%02u.%02u %04u-%02u-%02u", (unsigned)(stamp >> 12 & 31),
             (unsigned)(stamp >> 6 & 63), (unsigned)(stamp & 63), (unsigned)(stamp >> 26 & 16383) % 10000,
             (unsigned)(stamp >> 22 & 15), (unsigned)(stamp >> 17 & 31));
}

// Reads the grouped size that ends at end, leftwards: one to three digits,
// then groups of a blank and three digits, no leading zero. Returns where
// it begins, or null when the text before end is no such size.
static const char *ReadSizeBackwards(const char *line, const char *end, uint64_t *size)
{
    uint64_t value = 0, scale = 1;
    const char *p = end;
    for (int groups = 1;; groups++) {
        int n = 0;
        while (n < 3 && p - n > line && IsDigit(p[-n - 1]))
            n++;
        if (n == 0)
            return nullptr;
        uint64_t group = (uint64_t)Digits(p - n, n);
        if (group > (UINT64_MAX - value) / scale)
            return nullptr;
        value += group * scale;
        p -= n;
        bool more = n == 3 && p - line >= 2 && p[-1] == ' ' && IsDigit(p[-2]);
        if (!more) {
            if ((p > line && IsDigit(p[-1])) || (p[0] == '0' && p + 1 != end))
                return nullptr;   // digits not grouped, or a leading zero
            *size = value;
            return p;
        }
        if (groups == 7)          // 1000^7 is past 64 bits
            return nullptr;
        scale *= 1000;
        p--;
    }
}

int ParseSessionRecord(const char *line, size_t length, HistoryRecord *out)
{
    if (line == nullptr)
        return -1;
    if (length > 0 && line[length - 1] == '\n')
        length--;
    if (length > 0 && line[length - 1] == '\r')
        length--;
    const char *end = line + length;
    HistoryRecord record;
    record.Kinds = 0;

    // An MD5 field: a record without one ends in the time, whose last
    // three characters ("-DD") are no hex digits.
    if (length >= GAP + MD5_DIGITS && AllBlanks(end - MD5_DIGITS - GAP, GAP) &&
        ReadHex(end - MD5_DIGITS, MD5_DIGITS, record.Md5) == 0) {
        record.Kinds |= HISTORY_MD5;
        end -= GAP + MD5_DIGITS;
    }
    if ((size_t)(end - line) < HISTORY_TIME_LENGTH + GAP)
        return -1;
    record.TimeText = end - HISTORY_TIME_LENGTH;
    record.Stamp = 0;
    if (ParseHistoryTime(record.TimeText, HISTORY_TIME_LENGTH, &record.Stamp) != 0 &&
        memcmp(record.TimeText, NoLocalTimeText, HISTORY_TIME_LENGTH) != 0)
        return -1;
    end = record.TimeText - GAP;
    if (!AllBlanks(end, GAP))
        return -1;

    const char *sizeText = ReadSizeBackwards(line, end, &record.Size);
    if (sizeText == nullptr)
        return -1;
    size_t sizeLength = (size_t)(end - sizeText);
    size_t blanks = GAP + (sizeLength < LOG_SIZE_WIDTH ? LOG_SIZE_WIDTH - sizeLength : 0);
    if ((size_t)(sizeText - line) < blanks + CRC_DIGITS + GAP || !AllBlanks(sizeText - blanks, blanks))
        return -1;
    const char *crcText = sizeText - blanks - CRC_DIGITS;
    if (ReadCrcHex(crcText, &record.Crc32) == 0)
        record.Kinds |= HISTORY_CRC32;
    else if (memcmp(crcText, NoCrcField, CRC_DIGITS) != 0)
        return -1;
    if (record.Kinds == 0 || !AllBlanks(crcText - GAP, GAP))
        return -1;

    // The name is what stands before the CRC field, less the padding.
    const char *nameEnd = crcText - GAP;
    while (nameEnd > line && nameEnd[-1] == ' ')
        nameEnd--;
    for (const char *p = line; p < nameEnd; p++)
        if ((unsigned char)*p < ' ')
            return -1;   // no file name holds a control character: an edited or broken line
    record.Name = line;
    record.NameLength = (size_t)(nameEnd - line);
    *out = record;
    return 0;
}

// ---------------------------------------------------------------- keys

// The byte at i of a name of length bytes as names compare: A-Z as a-z in
// a character of one byte, both bytes of a two-byte character as they are.
static unsigned char FoldNameByte(const char *name, size_t length, size_t i, bool *second)
{
    if (TextInPairWithin(second, name + i, length - i))
        return (unsigned char)name[i];
    return (unsigned char)AsciiLower(name[i]);
}

static bool SameFoldedName(const char *a, const char *b, size_t length)
{
    bool secondA = false, secondB = false;
    for (size_t i = 0; i < length; i++)
        if (FoldNameByte(a, length, i, &secondA) != FoldNameByte(b, length, i, &secondB))
            return false;
    return true;
}

// SipHash-1-3 keyed by the index's seed over the folded name (its length
// in the last word, so that the message is read one way only), the size
// and the stamp: a file of names cannot be made to collide without the seed.
static uint64_t HashKey(const HistoryIndex *index, const char *name, size_t length, uint64_t size, uint64_t stamp)
{
    KeyedHash hash;
    KeyedHashStart(&hash, index->Seed);
    bool second = false;
    for (size_t i = 0; i < length; i++)
        KeyedHashByte(&hash, FoldNameByte(name, length, i, &second));
    KeyedHashEndBytes(&hash);
    KeyedHashWord(&hash, size);
    KeyedHashWord(&hash, stamp);
    return KeyedHashEnd(&hash);
}

// ---------------------------------------------------------------- index

void HistoryIndexInit(HistoryIndex *index)
{
    memset(index, 0, sizeof *index);
    DrawHashKey(index->Seed);
}

void HistoryIndexFree(HistoryIndex *index)
{
    for (uint32_t i = 0; i < index->BlockCount; i++)
        free(index->Blocks[i]);
    free(index->Blocks);
    free(index->Slots);
    while (index->Names != nullptr) {
        char *before;
        memcpy(&before, index->Names, sizeof before);
        free(index->Names);
        index->Names = before;
    }
    uint64_t seed[2] = { index->Seed[0], index->Seed[1] };
    memset(index, 0, sizeof *index);
    index->Seed[0] = seed[0];
    index->Seed[1] = seed[1];
}

static void *Allocate(HistoryIndex *index, size_t size)
{
    void *block = HistoryAllocate(size);
    if (block != nullptr)
        index->Bytes += size;
    return block;
}

static HistoryEntry *EntryAt(const HistoryIndex *index, uint32_t number)
{
    return &index->Blocks[number / HISTORY_BLOCK_ENTRIES][number % HISTORY_BLOCK_ENTRIES];
}

// The slot of the key: the one holding it, or the empty one where it goes.
static HistorySlot *FindSlot(const HistoryIndex *index, uint32_t hash, const char *name, size_t length,
                             uint64_t size, uint64_t stamp)
{
    for (uint32_t at = hash & index->SlotMask;; at = (at + 1) & index->SlotMask) {
        HistorySlot *slot = &index->Slots[at];
        if (slot->Entry == 0)
            return slot;
        if (slot->Hash != hash)
            continue;
        const HistoryEntry *entry = EntryAt(index, slot->Entry - 1);
        if (entry->Size == size && entry->Stamp == stamp && entry->NameLength == length &&
            SameFoldedName(entry->Name, name, length))
            return slot;
    }
}

// Room for one more entry with at most half the slots in use. Returns 0 or -1
// (the slots as they were).
static int GrowSlots(HistoryIndex *index)
{
    uint64_t slotCount = index->Slots == nullptr ? 0 : (uint64_t)index->SlotMask + 1;
    if ((uint64_t)(index->Count + 1) * 2 <= slotCount)
        return 0;
    uint64_t larger = slotCount == 0 ? (uint64_t)FIRST_SLOTS : slotCount * 2;
    if (larger > SIZE_MAX / sizeof(HistorySlot))   // the 32-bit build's address space
        return -1;
    HistorySlot *slots = (HistorySlot *)Allocate(index, (size_t)larger * sizeof *slots);
    if (slots == nullptr)
        return -1;
    memset(slots, 0, (size_t)larger * sizeof *slots);
    uint32_t mask = (uint32_t)(larger - 1);
    for (uint64_t i = 0; i < slotCount; i++) {
        if (index->Slots[i].Entry == 0)
            continue;
        uint32_t at = index->Slots[i].Hash & mask;
        while (slots[at].Entry != 0)
            at = (at + 1) & mask;
        slots[at] = index->Slots[i];
    }
    free(index->Slots);
    index->Bytes -= slotCount * sizeof *slots;
    index->Slots = slots;
    index->SlotMask = mask;
    return 0;
}

// Room for the next entry in a block. Returns 0 or -1.
static int GrowEntries(HistoryIndex *index)
{
    if (index->Count < index->BlockCount * HISTORY_BLOCK_ENTRIES)
        return 0;
    if (index->BlockCount == index->BlockCapacity) {
        uint32_t capacity = index->BlockCapacity == 0 ? 16 : index->BlockCapacity * 2;
        HistoryEntry **blocks = (HistoryEntry **)Allocate(index, capacity * sizeof *blocks);
        if (blocks == nullptr)
            return -1;
        if (index->BlockCount > 0)
            memcpy(blocks, index->Blocks, index->BlockCount * sizeof *blocks);
        free(index->Blocks);
        index->Bytes -= index->BlockCapacity * sizeof *blocks;
        index->Blocks = blocks;
        index->BlockCapacity = capacity;
    }
    HistoryEntry *block = (HistoryEntry *)Allocate(index, HISTORY_BLOCK_ENTRIES * sizeof *block);
    if (block == nullptr)
        return -1;
    index->Blocks[index->BlockCount++] = block;
    return 0;
}

// A copy of the name in a name block, or null when out of memory.
static const char *KeepName(HistoryIndex *index, const char *name, size_t length)
{
    if (index->Names == nullptr || index->NamesSize - index->NamesUsed < length) {
        char *block = (char *)Allocate(index, NAME_BLOCK_SIZE);
        if (block == nullptr)
            return nullptr;
        memcpy(block, &index->Names, sizeof index->Names);
        index->Names = block;
        index->NamesUsed = sizeof index->Names;
        index->NamesSize = NAME_BLOCK_SIZE;
    }
    char *kept = index->Names + index->NamesUsed;
    memcpy(kept, name, length);
    index->NamesUsed += length;
    return kept;
}

static bool Indexable(const HistoryRecord *record)
{
    return record->Stamp != 0 && record->NameLength <= HISTORY_MAX_NAME;
}

static uint32_t HashRecord(const HistoryIndex *index, const HistoryRecord *record)
{
    return (uint32_t)HashKey(index, record->Name, record->NameLength, record->Size, record->Stamp);
}

static int AddHashed(HistoryIndex *index, const HistoryRecord *record, uint32_t hash)
{
    HistorySlot *slot = nullptr;
    if (index->Slots != nullptr)
        slot = FindSlot(index, hash, record->Name, record->NameLength, record->Size, record->Stamp);
    if (slot == nullptr || slot->Entry == 0) {
        HistorySlot *before = index->Slots;
        if (index->Count >= MAX_ENTRIES || GrowSlots(index) != 0 || GrowEntries(index) != 0)
            return -1;
        const char *name = KeepName(index, record->Name, record->NameLength);
        if (name == nullptr)
            return -1;
        HistoryEntry *entry = EntryAt(index, index->Count);
        memset(entry, 0, sizeof *entry);
        entry->Name = name;
        entry->NameLength = (uint16_t)record->NameLength;
        entry->Size = record->Size;
        entry->Stamp = record->Stamp;
        if (index->Slots != before)   // the slots grew: the key's empty slot is elsewhere
            slot = FindSlot(index, hash, record->Name, record->NameLength, record->Size, record->Stamp);
        slot->Hash = hash;
        slot->Entry = ++index->Count;
    }
    HistoryEntry *entry = EntryAt(index, slot->Entry - 1);
    // The oldest value of each kind is the reference: later ones never replace it.
    if ((record->Kinds & HISTORY_CRC32) && !(entry->Kinds & HISTORY_CRC32))
        entry->Crc32 = record->Crc32;
    if ((record->Kinds & HISTORY_MD5) && !(entry->Kinds & HISTORY_MD5))
        memcpy(entry->Md5, record->Md5, sizeof entry->Md5);
    entry->Kinds |= record->Kinds;
    return 0;
}

int HistoryIndexAddParsed(HistoryIndex *index, const HistoryRecord *record)
{
    return Indexable(record) ? AddHashed(index, record, HashRecord(index, record)) : 0;
}

// Records read but not indexed yet: their slots are fetched into the cache
// while the next lines are read, for an archive far larger than the cache.
enum { AHEAD = 8 };

struct ReadAhead {
    HistoryRecord Records[AHEAD];
    uint32_t Hashes[AHEAD];
    int First, Count;
};

// Indexes the oldest record read ahead. Returns 0 or -1.
static int AddOldest(HistoryIndex *index, ReadAhead *ahead)
{
    int result = AddHashed(index, &ahead->Records[ahead->First], ahead->Hashes[ahead->First]);
    ahead->First = (ahead->First + 1) % AHEAD;
    ahead->Count--;
    return result;
}

static int AddAllRead(HistoryIndex *index, ReadAhead *ahead)
{
    while (ahead->Count > 0)
        if (AddOldest(index, ahead) != 0)
            return -1;
    return 0;
}

int HistoryIndexAddText(HistoryIndex *index, const char *text, size_t length, HistoryProgressFn progress,
                        void *context)
{
    ReadAhead ahead;
    ahead.First = ahead.Count = 0;
    size_t nextReport = HISTORY_PROGRESS_STEP;
    for (size_t at = 0; at < length;) {
        const char *lineEnd = (const char *)memchr(text + at, '\n', length - at);
        size_t next = lineEnd != nullptr ? (size_t)(lineEnd - text) + 1 : length;
        HistoryRecord record;
        if (ParseSessionRecord(text + at, next - at, &record) == 0 && Indexable(&record)) {
            if (ahead.Count == AHEAD && AddOldest(index, &ahead) != 0)
                return -1;
            int last = (ahead.First + ahead.Count++) % AHEAD;
            ahead.Records[last] = record;
            ahead.Hashes[last] = HashRecord(index, &record);
#if defined(__GNUC__)
            if (index->Slots != nullptr)
                __builtin_prefetch(&index->Slots[ahead.Hashes[last] & index->SlotMask]);
#endif
        }
        at = next;
        if (progress != nullptr && at >= nextReport && at < length) {
            nextReport = at + HISTORY_PROGRESS_STEP;
            if (progress(context, at, length) != 0)
                return AddAllRead(index, &ahead) != 0 ? -1 : -2;
        }
    }
    return AddAllRead(index, &ahead);
}

// A name as the log keeps it: trailing blanks are padding there.
static size_t KeyNameLength(const char *name, size_t length)
{
    while (length > 0 && name[length - 1] == ' ')
        length--;
    return length;
}

// Reads the checksum texts that are present into record. Returns 0, or -1
// for a text of another form.
static int ReadChecksumTexts(const char *crcText, const char *md5Text, HistoryRecord *record)
{
    record->Kinds = 0;
    if (crcText != nullptr) {
        if (strlen(crcText) != CRC_DIGITS || ReadCrcHex(crcText, &record->Crc32) != 0)
            return -1;
        record->Kinds |= HISTORY_CRC32;
    }
    if (md5Text != nullptr) {
        if (strlen(md5Text) != MD5_DIGITS || ReadHex(md5Text, MD5_DIGITS, record->Md5) != 0)
            return -1;
        record->Kinds |= HISTORY_MD5;
    }
    return 0;
}

int HistoryIndexAddRecord(HistoryIndex *index, const char *name, size_t nameLength, uint64_t size,
                          const char *timeText, const char *crcText, const char *md5Text)
{
    if (name == nullptr)
        return -2;
    HistoryRecord record;
    record.Name = name;
    record.NameLength = KeyNameLength(name, nameLength);
    record.Size = size;
    record.TimeText = timeText;
    if (record.NameLength > HISTORY_MAX_NAME || timeText == nullptr ||
        ParseHistoryTime(timeText, strlen(timeText), &record.Stamp) != 0 ||
        ReadChecksumTexts(crcText, md5Text, &record) != 0 || record.Kinds == 0)
        return -2;
    return HistoryIndexAddParsed(index, &record);
}

int HistoryIndexFind(const HistoryIndex *index, const char *name, size_t nameLength, uint64_t size, uint64_t stamp,
                     HistoryReference *out)
{
    if (index->Slots == nullptr || name == nullptr)
        return 0;
    nameLength = KeyNameLength(name, nameLength);
    uint32_t hash = (uint32_t)HashKey(index, name, nameLength, size, stamp);
    const HistorySlot *slot = FindSlot(index, hash, name, nameLength, size, stamp);
    if (slot->Entry == 0)
        return 0;
    const HistoryEntry *entry = EntryAt(index, slot->Entry - 1);
    out->Kinds = entry->Kinds;
    out->Crc32 = entry->Crc32;
    memcpy(out->Md5, entry->Md5, sizeof out->Md5);
    out->Stamp = entry->Stamp;
    return 1;
}

int HistoryJudge(const HistoryIndex *index, const char *name, size_t nameLength, uint64_t size,
                 const char *timeText, const char *crcText, const char *md5Text, HistoryJudgement *out)
{
    memset(out, 0, sizeof *out);
    out->Verdict = HISTORY_UNKNOWN;
    uint64_t stamp;
    HistoryReference reference;
    if (timeText == nullptr || ParseHistoryTime(timeText, strlen(timeText), &stamp) != 0 ||
        !HistoryIndexFind(index, name, nameLength, size, stamp, &reference))
        return out->Verdict;
    out->Kinds = reference.Kinds;
    FormatHistoryTime(reference.Stamp, out->TimeText);

    HistoryRecord computed;
    computed.Kinds = 0;
    HistoryRecord one;
    if (ReadChecksumTexts(crcText, nullptr, &one) == 0 && one.Kinds != 0) {
        computed.Kinds |= HISTORY_CRC32;
        computed.Crc32 = one.Crc32;
    }
    if (ReadChecksumTexts(nullptr, md5Text, &one) == 0 && one.Kinds != 0) {
        computed.Kinds |= HISTORY_MD5;
        memcpy(computed.Md5, one.Md5, sizeof computed.Md5);
    }
    uint8_t compared = computed.Kinds & reference.Kinds;
    if (compared == 0)
        return out->Verdict;
    if ((compared & HISTORY_CRC32) && computed.Crc32 != reference.Crc32)
        out->ChangedKinds |= HISTORY_CRC32;
    if ((compared & HISTORY_MD5) && memcmp(computed.Md5, reference.Md5, sizeof computed.Md5) != 0)
        out->ChangedKinds |= HISTORY_MD5;
    out->Verdict = out->ChangedKinds != 0 ? HISTORY_CHANGED : HISTORY_SAME;
    return out->Verdict;
}
