// The history of checksums: session log records read from the right (a name
// may hold blanks and characters of several bytes, so its width says
// nothing), and an open-addressing index of their keys or of the record
// store's.
#include "core/history.h"

#include "base/textutil.h"
#include "checksum/clock.h"
#include "core/historystore.h"
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
    const char *Name;   // folded (FoldKey), in a name block
    uint64_t Size;
    uint64_t Stamp;
    uint32_t Crc32;
    uint32_t NameLength : 24;
    uint32_t Kinds : 8;     // HISTORY_CRC32, HISTORY_MD5
    unsigned char Md5[16];
};

enum { INDEXED_KINDS = HISTORY_CRC32 | HISTORY_MD5 };
static_assert(HISTORY_MAX_PATH < 1 << 24, "a path's length fits its entry");

enum {
    HISTORY_BLOCK_ENTRIES = 1 << 14,
    NAME_BLOCK_SIZE = 1 << 20,
    FIRST_SLOTS = 1 << 10,
    MAX_ENTRIES = 1u << 30,          // slots stay below 2^31
};

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

int ReadHexDigits(const char *text, size_t count, unsigned char *bytes)
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
    unsigned char bytes[LOG_CRC_DIGITS / 2];
    if (ReadHexDigits(text, LOG_CRC_DIGITS, bytes) != 0)
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

// Where the six fields of a time stand in its text; a '0' of Form is a digit.
struct TimeLayout {
    char Form[HISTORY_TIME_SIZE];
    int Hour, Minute, Second, Year, Month, Day;
};

static const TimeLayout LogTime = { "00:00.00 0000-00-00", 0, 3, 6, 9, 14, 17 };
static const TimeLayout StoreTime = { "0000-00-00T00:00:00", 11, 14, 17, 0, 5, 8 };

static int ParseTime(const TimeLayout *layout, const char *text, size_t length, uint64_t *stamp)
{
    if (text == nullptr || length != HISTORY_TIME_LENGTH)
        return -1;
    for (size_t i = 0; i < HISTORY_TIME_LENGTH; i++)
        if (layout->Form[i] == '0' ? !IsDigit(text[i]) : text[i] != layout->Form[i])
            return -1;
    int hour = Digits(text + layout->Hour, 2), minute = Digits(text + layout->Minute, 2);
    int second = Digits(text + layout->Second, 2), year = Digits(text + layout->Year, 4);
    int month = Digits(text + layout->Month, 2), day = Digits(text + layout->Day, 2);
    static const int monthDays[12] = { 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    // A second of 60 is the leap second of the zones that keep them.
    if (hour > 23 || minute > 59 || second > 60 || month < 1 || month > 12 || day < 1 ||
        day > monthDays[month - 1] || (month == 2 && day == 29 && !IsLeapYear(year)))
        return -1;
    *stamp = (uint64_t)year << 26 | (uint64_t)month << 22 | (uint64_t)day << 17 | (uint64_t)hour << 12 |
             (uint64_t)minute << 6 | (uint64_t)second;
    return 0;
}

// Writes the count last decimal digits of value at text.
static void PutDigits(char *text, int count, unsigned value)
{
    for (int i = count - 1; i >= 0; i--, value /= 10)
        text[i] = (char)('0' + value % 10);
}

static void FormatTime(const TimeLayout *layout, uint64_t stamp, char text[HISTORY_TIME_SIZE])
{
    memcpy(text, layout->Form, HISTORY_TIME_SIZE);
    PutDigits(text + layout->Hour, 2, (unsigned)(stamp >> 12 & 31));
    PutDigits(text + layout->Minute, 2, (unsigned)(stamp >> 6 & 63));
    PutDigits(text + layout->Second, 2, (unsigned)(stamp & 63));
    PutDigits(text + layout->Year, 4, (unsigned)(stamp >> 26 & 16383));
    PutDigits(text + layout->Month, 2, (unsigned)(stamp >> 22 & 15));
    PutDigits(text + layout->Day, 2, (unsigned)(stamp >> 17 & 31));
}

int ParseHistoryTime(const char *text, size_t length, uint64_t *stamp)
{
    return ParseTime(&LogTime, text, length, stamp);
}

void FormatHistoryTime(uint64_t stamp, char text[HISTORY_TIME_SIZE])
{
    FormatTime(&LogTime, stamp, text);
}

int ParseStoreTime(const char *text, size_t length, uint64_t *stamp)
{
    return ParseTime(&StoreTime, text, length, stamp);
}

void FormatStoreTime(uint64_t stamp, char text[HISTORY_TIME_SIZE])
{
    FormatTime(&StoreTime, stamp, text);
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

size_t HistoryLineLength(const char *line, size_t length)
{
    if (length > 0 && line[length - 1] == '\n')
        length--;
    if (length > 0 && line[length - 1] == '\r')
        length--;
    return length;
}

int ParseSessionRecord(const char *line, size_t length, HistoryRecord *out)
{
    if (line == nullptr)
        return -1;
    length = HistoryLineLength(line, length);
    const char *end = line + length;
    HistoryRecord record;
    record.Kinds = 0;

    // An MD5 field: a record without one ends in the time, whose last
    // three characters ("-DD") are no hex digits.
    if (length >= LOG_GAP + LOG_MD5_DIGITS && AllBlanks(end - LOG_MD5_DIGITS - LOG_GAP, LOG_GAP) &&
        ReadHexDigits(end - LOG_MD5_DIGITS, LOG_MD5_DIGITS, record.Md5) == 0) {
        record.Kinds |= HISTORY_MD5;
        end -= LOG_GAP + LOG_MD5_DIGITS;
    }
    if ((size_t)(end - line) < HISTORY_TIME_LENGTH + LOG_GAP)
        return -1;
    record.TimeText = end - HISTORY_TIME_LENGTH;
    record.Stamp = 0;
    if (ParseHistoryTime(record.TimeText, HISTORY_TIME_LENGTH, &record.Stamp) != 0 &&
        memcmp(record.TimeText, NoLocalTimeText, HISTORY_TIME_LENGTH) != 0)
        return -1;
    end = record.TimeText - LOG_GAP;
    if (!AllBlanks(end, LOG_GAP))
        return -1;

    const char *sizeText = ReadSizeBackwards(line, end, &record.Size);
    if (sizeText == nullptr)
        return -1;
    size_t sizeLength = (size_t)(end - sizeText);
    size_t blanks = LOG_GAP + (sizeLength < LOG_SIZE_WIDTH ? LOG_SIZE_WIDTH - sizeLength : 0);
    if ((size_t)(sizeText - line) < blanks + LOG_CRC_DIGITS + LOG_GAP || !AllBlanks(sizeText - blanks, blanks))
        return -1;
    const char *crcText = sizeText - blanks - LOG_CRC_DIGITS;
    if (ReadCrcHex(crcText, &record.Crc32) == 0)
        record.Kinds |= HISTORY_CRC32;
    else if (memcmp(crcText, LogNoCrcField, LOG_CRC_DIGITS) != 0)
        return -1;
    if (record.Kinds == 0 || !AllBlanks(crcText - LOG_GAP, LOG_GAP))
        return -1;

    // The name is what stands before the CRC field, less the padding.
    const char *nameEnd = crcText - LOG_GAP;
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

// A letter of two UTF-8 bytes (U+0080 to U+07FF) as paths compare: a capital
// letter as its small letter, in the blocks whose letters Windows folds
// alike everywhere. Two bytes again.
static uint32_t FoldLetter(uint32_t c)
{
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F)
        return c + 0x50;
    if (c == 0x178)
        return 0xFF;
    // Greek capitals with a tonos.
    if (c == 0x386)
        return 0x3AC;
    if (c >= 0x388 && c <= 0x38A)
        return c + 0x25;
    if (c == 0x38C)
        return 0x3CC;
    if (c == 0x38E || c == 0x38F)
        return c + 0x3F;
    // Latin Extended-A: each capital letter beside its small one.
    if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
        return c | 1;
    if (((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) && (c & 1))
        return c + 1;
    return c;
}

// Each byte of one byte's character as keys compare: A-Z as a-z, and by
// path '/' as '\\' too. Tables, as every key of an archive of millions is
// folded.
struct ByteFolds {
    unsigned char Name[256], Path[256];
};

static constexpr ByteFolds MakeByteFolds()
{
    ByteFolds folds = {};
    for (int c = 0; c < 256; c++) {
        folds.Name[c] = (unsigned char)(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        folds.Path[c] = c == '/' ? (unsigned char)'\\' : folds.Name[c];
    }
    return folds;
}

static constexpr ByteFolds Folds = MakeByteFolds();

// Folding a key piece by piece.
struct KeyFold {
    bool ByPath;
    TextCodePageKind Kind;
    bool Second;        // in the middle of a two-byte character
    size_t At;          // bytes of the key folded
};

static KeyFold StartFold(bool byPath)
{
    return KeyFold{ byPath, TextCodePage(), false, 0 };
}

enum { FOLD_PIECE = 256 };

// Folds the key's next characters into out: at most FOLD_PIECE bytes,
// whole characters. Returns the count, as many as they have (0 at the end).
// By name: A-Z as a-z. By path also '/' as '\\' and, in UTF-8, FoldLetter.
// Both bytes of a two-byte character stay as they are.
// Eight bytes below 0x80 at once, as Folds folds each.
static uint64_t FoldWord(uint64_t word, bool byPath)
{
    const uint64_t ones = 0x0101010101010101ull, high = ones * 0x80, low = ones * 0x7F;
    // No byte carries into the next: each is below 0x80.
    uint64_t capitals = (word + ones * (0x80 - 'A')) & ~(word + ones * (0x80 - 'Z' - 1)) & high;
    word |= capitals >> 2;      // 0x20, from the high bit
    if (byPath) {
        uint64_t other = word ^ ones * '/';
        uint64_t slashes = ~(((other & low) + low) | other | low);
        word ^= (slashes >> 7) * ('/' ^ '\\');
    }
    return word;
}

static size_t FoldPiece(KeyFold *fold, const char *key, size_t length, unsigned char out[FOLD_PIECE])
{
    // Locals: the bytes written may alias anything.
    const unsigned char *table = fold->ByPath ? Folds.Path : Folds.Name;
    bool letters = fold->ByPath && fold->Kind == TEXT_UTF8, pairs = fold->Kind == TEXT_DOUBLE_BYTE;
    bool second = fold->Second;
    size_t start = fold->At, at = start;
    // A character ends in the piece: the last room is for a letter of two bytes.
    size_t end = length - start < FOLD_PIECE ? length : start + FOLD_PIECE - 1;
    while (at < end) {
        uint64_t word;
        if (!pairs && end - at >= sizeof word) {
            memcpy(&word, key + at, sizeof word);
            if ((word & 0x8080808080808080ull) == 0) {
                word = FoldWord(word, fold->ByPath);
                memcpy(out + (at - start), &word, sizeof word);
                at += sizeof word;
                continue;
            }
        }
        unsigned char c = (unsigned char)key[at];
        if (pairs && TextInPairWithin(&second, key + at, length - at)) {
            out[at++ - start] = c;
        } else if (c >= 0x80 && letters && Utf8CharSize(key + at, length - at) == 2) {
            uint32_t letter = FoldLetter((uint32_t)(c & 0x1F) << 6 | ((unsigned char)key[at + 1] & 0x3F));
            out[at - start] = (unsigned char)(0xC0 | letter >> 6);
            out[at - start + 1] = (unsigned char)(0x80 | (letter & 0x3F));
            at += 2;
        } else {
            out[at++ - start] = table[c];
        }
    }
    fold->Second = second;
    fold->At = at;
    return at - start;
}

static void FoldKey(bool byPath, const char *text, size_t length, char *folded)
{
    KeyFold fold = StartFold(byPath);
    unsigned char piece[FOLD_PIECE];
    for (size_t done = 0, count; (count = FoldPiece(&fold, text, length, piece)) > 0; done += count)
        memcpy(folded + done, piece, count);
}

void HistoryFoldPath(const char *path, size_t length, char *folded)
{
    FoldKey(true, path, length, folded);
}

// Whether text, once folded, is the folded key of an entry.
static bool SameFolded(bool byPath, const char *folded, const char *text, size_t length)
{
    KeyFold fold = StartFold(byPath);
    unsigned char piece[FOLD_PIECE];
    for (size_t done = 0, count; (count = FoldPiece(&fold, text, length, piece)) > 0; done += count)
        if (memcmp(folded + done, piece, count) != 0)
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
    KeyFold fold = StartFold(index->ByPath);
    unsigned char piece[FOLD_PIECE];
    for (size_t count; (count = FoldPiece(&fold, name, length, piece)) > 0;)
        KeyedHashBytes(&hash, piece, count);
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

void HistoryIndexInitByPath(HistoryIndex *index)
{
    HistoryIndexInit(index);
    index->ByPath = true;
}

void HistoryIndexFree(HistoryIndex *index)
{
    for (uint32_t i = 0; i < index->BlockCount; i++)
        free(index->Blocks[i]);
    free(index->Blocks);
    free(index->Slots);
    free(index->StoodFor);
    while (index->Names != nullptr) {
        char *before;
        memcpy(&before, index->Names, sizeof before);
        free(index->Names);
        index->Names = before;
    }
    uint64_t seed[2] = { index->Seed[0], index->Seed[1] };
    bool byPath = index->ByPath;
    memset(index, 0, sizeof *index);
    index->Seed[0] = seed[0];
    index->Seed[1] = seed[1];
    index->ByPath = byPath;
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
            SameFolded(index->ByPath, entry->Name, name, length))
            return slot;
    }
}

// Room for one more entry with at most half the slots in use. Returns 0 or -1
// (the slots as they were).
static int GrowSlots(HistoryIndex *index, HistorySlot **table, uint32_t *tableMask, uint32_t used)
{
    HistorySlot *old = *table;
    uint64_t slotCount = old == nullptr ? 0 : (uint64_t)*tableMask + 1;
    if ((uint64_t)(used + 1) * 2 <= slotCount)
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
        if (old[i].Entry == 0)
            continue;
        uint32_t at = old[i].Hash & mask;
        while (slots[at].Entry != 0)
            at = (at + 1) & mask;
        slots[at] = old[i];
    }
    free(old);
    index->Bytes -= slotCount * sizeof *slots;
    *table = slots;
    *tableMask = mask;
    return 0;
}

// The stood-for set keeps a log key's 64-bit hash in a slot: its low half
// as the hash, its high half (made odd, never 0) as the entry.
static HistorySlot StoodForSlot(uint64_t hash)
{
    return HistorySlot{ (uint32_t)hash, (uint32_t)(hash >> 32) | 1 };
}

// The slot of the hash in the stood-for set: the one holding it, or the
// empty one where it goes.
static HistorySlot *FindStoodFor(const HistoryIndex *logs, HistorySlot key)
{
    for (uint32_t at = key.Hash & logs->StoodForMask;; at = (at + 1) & logs->StoodForMask) {
        HistorySlot *slot = &logs->StoodFor[at];
        if (slot->Entry == 0 || (slot->Hash == key.Hash && slot->Entry == key.Entry))
            return slot;
    }
}

static bool IsStoodFor(const HistoryIndex *logs, uint64_t hash)
{
    return logs->StoodFor != nullptr && FindStoodFor(logs, StoodForSlot(hash))->Entry != 0;
}

// A store record stands for the log key of hash. Returns 0 or -1.
static int AddStoodFor(HistoryIndex *logs, uint64_t hash)
{
    if (GrowSlots(logs, &logs->StoodFor, &logs->StoodForMask, logs->StoodForCount) != 0)
        return -1;
    HistorySlot *slot = FindStoodFor(logs, StoodForSlot(hash));
    if (slot->Entry == 0) {
        *slot = StoodForSlot(hash);
        logs->StoodForCount++;
    }
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

// A folded copy of the name in a name block, or null when out of memory.
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
    FoldKey(index->ByPath, name, length, kept);
    index->NamesUsed += length;
    return kept;
}

static bool Indexable(const HistoryIndex *index, const HistoryRecord *record)
{
    if (index->ByPath)
        return record->NameLength > 0 && record->NameLength <= HISTORY_MAX_PATH;
    return record->Stamp != 0 && record->NameLength <= HISTORY_MAX_NAME;
}

static uint64_t HashRecord(const HistoryIndex *index, const HistoryRecord *record)
{
    return HashKey(index, record->Name, record->NameLength, record->Size, record->Stamp);
}

// Indexes a record of its key's hash, unless a store record stands for it.
static int AddHashed(HistoryIndex *index, const HistoryRecord *record, uint64_t fullHash)
{
    if (IsStoodFor(index, fullHash))
        return 0;
    uint32_t hash = (uint32_t)fullHash;
    HistorySlot *slot = nullptr;
    if (index->Slots != nullptr)
        slot = FindSlot(index, hash, record->Name, record->NameLength, record->Size, record->Stamp);
    if (slot == nullptr || slot->Entry == 0) {
        HistorySlot *before = index->Slots;
        if (index->Count >= MAX_ENTRIES || GrowSlots(index, &index->Slots, &index->SlotMask, index->Count) != 0 ||
            GrowEntries(index) != 0)
            return -1;
        const char *name = KeepName(index, record->Name, record->NameLength);
        if (name == nullptr)
            return -1;
        HistoryEntry *entry = EntryAt(index, index->Count);
        memset(entry, 0, sizeof *entry);
        entry->Name = name;
        entry->NameLength = (uint32_t)record->NameLength;
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
    entry->Kinds |= record->Kinds & INDEXED_KINDS;
    return 0;
}

int HistoryIndexAddParsed(HistoryIndex *index, const HistoryRecord *record)
{
    return Indexable(index, record) ? AddHashed(index, record, HashRecord(index, record)) : 0;
}

// A name as the log keeps it: trailing blanks are padding there.
static size_t KeyNameLength(const char *name, size_t length)
{
    while (length > 0 && name[length - 1] == ' ')
        length--;
    return length;
}

// Where the file name of a path of length bytes begins: after its last
// backslash (none inside a two-byte character), as PathFileName finds it.
static size_t NameStart(const char *path, size_t length)
{
    size_t start = 0;
    if (TextCodePage() != TEXT_DOUBLE_BYTE) {
        for (start = length; start > 0 && path[start - 1] != '\\'; start--) {
        }
        return start;
    }
    bool second = false;
    for (size_t i = 0; i < length; i++)
        if (!TextInPairWithin(&second, path + i, length - i) && path[i] == '\\')
            start = i + 1;
    return start;
}

static void PrefetchSlot(const HistorySlot *slots, uint32_t mask, uint64_t hash)
{
#if defined(__GNUC__)
    if (slots != nullptr)
        __builtin_prefetch(&slots[hash & mask]);
#endif
}

// The hash in logs of the key of the log record written with a store
// record; false when it had no time field.
static bool HashLogKey(const HistoryIndex *logs, const StoreRecord *stored, uint64_t *hash)
{
    if (stored->LogStamp == 0)
        return false;
    size_t start = NameStart(stored->Path, stored->PathLength);
    const char *name = stored->Path + start;
    *hash = HashKey(logs, name, KeyNameLength(name, stored->PathLength - start), stored->Size, stored->LogStamp);
    PrefetchSlot(logs->StoodFor, logs->StoodForMask, *hash);
    return true;
}

// Records read but not indexed yet: their slots are fetched into the cache
// while the next lines are read, for an archive far larger than the cache.
enum { AHEAD = 8 };

struct ReadAhead {
    HistoryRecord Records[AHEAD];
    uint64_t Hashes[AHEAD];
    bool StandsFor[AHEAD];      // a store record stands for a log key
    uint64_t LogHashes[AHEAD];  // its hash in logs
    int First, Count;
};

// Indexes the oldest record read ahead. Returns 0 or -1.
static int AddOldest(HistoryIndex *index, HistoryIndex *logs, ReadAhead *ahead)
{
    int first = ahead->First;
    if (ahead->StandsFor[first] && AddStoodFor(logs, ahead->LogHashes[first]) != 0)
        return -1;
    int result = AddHashed(index, &ahead->Records[first], ahead->Hashes[first]);
    ahead->First = (ahead->First + 1) % AHEAD;
    ahead->Count--;
    return result;
}

static int AddAllRead(HistoryIndex *index, HistoryIndex *logs, ReadAhead *ahead)
{
    while (ahead->Count > 0)
        if (AddOldest(index, logs, ahead) != 0)
            return -1;
    return 0;
}

// Reads a line (ended: it has its line end) into record: a session log
// record, or a store record, with the hash in logs of the log record it
// stands for when standsFor. Returns 0 or -1.
static int ReadLine(bool store, const HistoryIndex *logs, const char *line, size_t length, bool ended,
                    HistoryRecord *record, bool *standsFor, uint64_t *logHash)
{
    *standsFor = false;
    if (!store)
        return ParseSessionRecord(line, length, record);
    StoreRecord stored;
    // A line cut short may end inside its path: only whole lines count.
    if (!ended || ParseStoreRecord(line, length, &stored) != 0)
        return -1;
    *standsFor = logs != nullptr && HashLogKey(logs, &stored, logHash);
    record->Name = stored.Path;
    record->NameLength = stored.PathLength;
    record->Size = stored.Size;
    record->TimeText = nullptr;
    record->Stamp = (uint64_t)stored.LastWrite;
    record->Kinds = stored.Kinds & INDEXED_KINDS;
    record->Crc32 = stored.Crc32;
    memcpy(record->Md5, stored.Md5, sizeof record->Md5);
    return 0;
}

static int AddLines(HistoryIndex *index, bool store, HistoryIndex *logs, const char *text, size_t length,
                    HistoryProgressFn progress, void *context)
{
    ReadAhead ahead;
    ahead.First = ahead.Count = 0;
    size_t nextReport = HISTORY_PROGRESS_STEP;
    for (size_t at = 0; at < length;) {
        const char *lineEnd = (const char *)memchr(text + at, '\n', length - at);
        size_t next = lineEnd != nullptr ? (size_t)(lineEnd - text) + 1 : length;
        HistoryRecord record;
        bool standsFor;
        uint64_t logHash = 0;
        if (ReadLine(store, logs, text + at, next - at, lineEnd != nullptr, &record, &standsFor, &logHash) == 0 &&
            Indexable(index, &record)) {
            if (ahead.Count == AHEAD && AddOldest(index, logs, &ahead) != 0)
                return -1;
            int last = (ahead.First + ahead.Count++) % AHEAD;
            ahead.Records[last] = record;
            ahead.StandsFor[last] = standsFor;
            ahead.LogHashes[last] = logHash;
            ahead.Hashes[last] = HashRecord(index, &record);
            PrefetchSlot(index->Slots, index->SlotMask, ahead.Hashes[last]);
            PrefetchSlot(index->StoodFor, index->StoodForMask, ahead.Hashes[last]);
        }
        at = next;
        if (progress != nullptr && at >= nextReport && at < length) {
            nextReport = at + HISTORY_PROGRESS_STEP;
            if (progress(context, at, length) != 0)
                return AddAllRead(index, logs, &ahead) != 0 ? HISTORY_NO_MEMORY : HISTORY_CANCELLED;
        }
    }
    return AddAllRead(index, logs, &ahead);
}

int HistoryIndexAddText(HistoryIndex *index, const char *text, size_t length, HistoryProgressFn progress,
                        void *context)
{
    return AddLines(index, false, nullptr, text, length, progress, context);
}

int HistoryIndexAddStoreText(HistoryIndex *index, HistoryIndex *logs, const char *text, size_t length,
                             HistoryProgressFn progress, void *context)
{
    return AddLines(index, true, logs, text, length, progress, context);
}

// Reads the checksum texts that are present into record. Returns 0, or -1
// for a text of another form.
static int ReadChecksumTexts(const char *crcText, const char *md5Text, HistoryRecord *record)
{
    record->Kinds = 0;
    if (crcText != nullptr) {
        if (strlen(crcText) != LOG_CRC_DIGITS || ReadCrcHex(crcText, &record->Crc32) != 0)
            return -1;
        record->Kinds |= HISTORY_CRC32;
    }
    if (md5Text != nullptr) {
        if (strlen(md5Text) != LOG_MD5_DIGITS || ReadHexDigits(md5Text, LOG_MD5_DIGITS, record->Md5) != 0)
            return -1;
        record->Kinds |= HISTORY_MD5;
    }
    return 0;
}

int HistoryIndexAddRecord(HistoryIndex *index, const char *name, size_t nameLength, uint64_t size,
                          const char *timeText, const char *crcText, const char *md5Text)
{
    if (name == nullptr)
        return HISTORY_NOT_A_RECORD;
    HistoryRecord record;
    record.Name = name;
    record.NameLength = KeyNameLength(name, nameLength);
    record.Size = size;
    record.TimeText = timeText;
    if (record.NameLength > HISTORY_MAX_NAME || timeText == nullptr ||
        ParseHistoryTime(timeText, strlen(timeText), &record.Stamp) != 0 ||
        ReadChecksumTexts(crcText, md5Text, &record) != 0 || record.Kinds == 0)
        return HISTORY_NOT_A_RECORD;
    return HistoryIndexAddParsed(index, &record);
}

int HistoryIndexAddStamped(HistoryIndex *index, const char *path, size_t pathLength, const FileStamp *stamp,
                           const char *crcText, const char *md5Text)
{
    if (path == nullptr || stamp == nullptr)
        return HISTORY_NOT_A_RECORD;
    HistoryRecord record;
    record.Name = path;
    record.NameLength = pathLength;
    record.Size = stamp->Size;
    record.TimeText = nullptr;
    record.Stamp = (uint64_t)stamp->LastWrite;
    if (!Indexable(index, &record) || ReadChecksumTexts(crcText, md5Text, &record) != 0 || record.Kinds == 0)
        return HISTORY_NOT_A_RECORD;
    return HistoryIndexAddParsed(index, &record);
}

int HistoryIndexFind(const HistoryIndex *index, const char *name, size_t nameLength, uint64_t size, uint64_t stamp,
                     HistoryReference *out)
{
    if (index->Slots == nullptr || name == nullptr)
        return 0;
    if (!index->ByPath)
        nameLength = KeyNameLength(name, nameLength);
    uint32_t hash = (uint32_t)HashKey(index, name, nameLength, size, stamp);
    const HistorySlot *slot = FindSlot(index, hash, name, nameLength, size, stamp);
    if (slot->Entry == 0)
        return 0;
    const HistoryEntry *entry = EntryAt(index, slot->Entry - 1);
    out->Kinds = (uint8_t)entry->Kinds;
    out->Crc32 = entry->Crc32;
    memcpy(out->Md5, entry->Md5, sizeof out->Md5);
    out->Stamp = entry->Stamp;
    return 1;
}

// Judges checksums just computed against a key's reference into out, whose
// time text the caller wrote.
static int JudgeAgainst(const HistoryReference *reference, const char *crcText, const char *md5Text,
                        HistoryJudgement *out)
{
    out->Kinds = reference->Kinds;
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
    uint8_t compared = computed.Kinds & reference->Kinds;
    if (compared == 0)
        return out->Verdict;
    if ((compared & HISTORY_CRC32) && computed.Crc32 != reference->Crc32)
        out->ChangedKinds |= HISTORY_CRC32;
    if ((compared & HISTORY_MD5) && memcmp(computed.Md5, reference->Md5, sizeof computed.Md5) != 0)
        out->ChangedKinds |= HISTORY_MD5;
    out->Verdict = out->ChangedKinds != 0 ? HISTORY_CHANGED : HISTORY_SAME;
    return out->Verdict;
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
    FormatHistoryTime(reference.Stamp, out->TimeText);
    return JudgeAgainst(&reference, crcText, md5Text, out);
}

int HistoryJudgeStamped(const HistoryIndex *index, const char *path, size_t pathLength, const FileStamp *stamp,
                        const char *crcText, const char *md5Text, HistoryJudgement *out)
{
    memset(out, 0, sizeof *out);
    out->Verdict = HISTORY_UNKNOWN;
    HistoryReference reference;
    if (!HistoryIndexFind(index, path, pathLength, stamp->Size, (uint64_t)stamp->LastWrite, &reference))
        return out->Verdict;
    FormatLogTime(FileStampSeconds(stamp->LastWrite), out->TimeText, sizeof out->TimeText);
    return JudgeAgainst(&reference, crcText, md5Text, out);
}
