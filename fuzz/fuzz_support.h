// Helpers of the fuzz targets: reading the fuzzer's bytes as a record of
// fields, buffers of an exact size (so that the address sanitizer sees one
// byte too many), and checks that stop the run with a message.
#ifndef ZUNTA_FUZZ_SUPPORT_H
#define ZUNTA_FUZZ_SUPPORT_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <random>
#include <string>

#include <sanitizer/asan_interface.h>

// A broken rule is a crash for libFuzzer: it keeps the input that broke it.
#define FUZZ_CHECK(condition, ...)                                               \
    do {                                                                         \
        if (!(condition)) {                                                      \
            fprintf(stderr, "%s:%d: check failed: %s\n    ", __FILE__, __LINE__, \
                    #condition);                                                 \
            fprintf(stderr, __VA_ARGS__);                                        \
            fprintf(stderr, "\n");                                               \
            abort();                                                             \
        }                                                                        \
    } while (0)

// Local time made UTC, so that a time field the program writes reads back
// as the time, and every time from 1970 to 3000 has its local form.
inline void UseUtcAsLocalTime()
{
    setenv("TZ", "UTC", 1);
    tzset();
}

// The input read front to back; fields past its end read as zero, so that
// every input, however short, is a whole record and seeds stay readable.
struct FuzzInput {
    const uint8_t *Data;
    size_t Size;
    size_t At = 0;

    FuzzInput(const uint8_t *data, size_t size) : Data(data), Size(size) {}

    bool Empty() const { return At >= Size; }
    uint8_t Byte() { return At < Size ? Data[At++] : 0; }
    uint64_t Bytes(int count)   // little-endian
    {
        uint64_t value = 0;
        for (int i = 0; i < count; i++)
            value |= (uint64_t)Byte() << (8 * i);
        return value;
    }
    uint32_t U32() { return (uint32_t)Bytes(4); }
    uint64_t U64() { return Bytes(8); }
    // A text of at most maxLength bytes, its length in a byte in front.
    std::string Text(size_t maxLength = 255)
    {
        size_t length = Byte();
        if (length > maxLength)
            length = maxLength;
        return Take(length);
    }
    std::string Take(size_t length)
    {
        if (length > Size - At)
            length = Size - At;
        std::string text((const char *)Data + At, length);
        At += length;
        return text;
    }
    std::string Rest() { return Take(Size - At); }
};

// size bytes on the heap and not one more; size 0 gives a block of no
// usable byte.
struct ExactBuffer {
    char *Bytes;
    size_t Size;

    explicit ExactBuffer(size_t size) : Bytes((char *)malloc(size)), Size(size)
    {
        if (Bytes == nullptr && size > 0)
            abort();
        memset(Bytes, '#', size);
    }
    ExactBuffer(const ExactBuffer &) = delete;
    ExactBuffer &operator=(const ExactBuffer &) = delete;
    ~ExactBuffer() { free(Bytes); }
    std::string Contents() const { return std::string(Bytes, Size); }
};

// A C text of exactly its own length plus the terminator on the heap. A text
// with a zero byte inside ends there, as the program would read it.
struct ExactText : ExactBuffer {
    explicit ExactText(const std::string &text) : ExactBuffer(strnlen(text.c_str(), text.size()) + 1)
    {
        memcpy(Bytes, text.c_str(), Size - 1);
        Bytes[Size - 1] = '\0';
    }
};

// The size of the well-formed UTF-8 character at text, from its code point.
inline size_t ModelUtf8Size(const unsigned char *text, size_t available)
{
    unsigned char first = text[0];
    size_t size = first < 0x80 ? 1 : first >= 0xF8 ? 0 : first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 0;
    if (size == 0 || size > available)
        return 1;
    uint32_t point = size == 1 ? first : first & (0x7F >> size);
    for (size_t i = 1; i < size; i++) {
        if ((text[i] & 0xC0) != 0x80)
            return 1;
        point = (point << 6) | (text[i] & 0x3F);
    }
    const uint32_t smallest[] = { 0, 0, 0x80, 0x800, 0x10000 };
    bool valid = point >= smallest[size] && point <= 0x10FFFF && (point < 0xD800 || point > 0xDFFF);
    return valid ? size : 1;
}

// The characters of a UTF-8 text: each well-formed sequence, and each byte
// of a broken one.
inline size_t ModelUtf8Count(const std::string &text)
{
    size_t count = 0;
    for (size_t i = 0; i < text.size(); count++)
        i += ModelUtf8Size((const unsigned char *)text.c_str() + i, text.size() - i);
    return count;
}

// The text at most size - 1 long that a bounded format leaves of full.
inline std::string CutTo(const std::string &full, size_t size)
{
    return size == 0 ? std::string() : full.substr(0, size - 1);
}

// The bytes as hexadecimal digits, two to a byte, in either case.
inline std::string HexText(const unsigned char *bytes, size_t count, bool upper)
{
    static const char lower[] = "0123456789abcdef", capitals[] = "0123456789ABCDEF";
    const char *digits = upper ? capitals : lower;
    std::string text;
    for (size_t i = 0; i < count; i++) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

// The decimal digits with a space before every group of three from the right.
inline std::string Grouped(uint64_t value)
{
    std::string digits = std::to_string(value), grouped;
    for (size_t i = 0; i < digits.size(); i++) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += ' ';
        grouped += digits[i];
    }
    return grouped;
}

// Cuts a message into pieces of lengths drawn from a seed: short ones,
// ones around a multiple of sixteen bytes, any part of the rest, or all of
// it; each comes with an alignment of 0 to 63 bytes.
struct MessageCuts {
    std::minstd_rand Random;
    size_t Left;

    MessageCuts(uint32_t seed, size_t length) : Random(seed), Left(length) {}

    // false once the message is used up.
    bool Next(size_t *length, size_t *alignment)
    {
        if (Left == 0)
            return false;
        size_t n;
        switch (Random() % 4) {
        case 0: n = Random() % 20; break;
        case 1: n = (Random() % 9) * 16 + Random() % 3; n = n > 0 ? n - 1 : 0; break;
        case 2: n = Random() % (Left + 1); break;
        default: n = Left; break;
        }
        *length = n < Left ? n : Left;
        *alignment = Random() % 64;
        Left -= *length;
        return true;
    }
};

// A copy of bytes placed alignment bytes into a block that ends right after
// it. The bytes in front are poisoned, so that a read before the start is
// caught as well as one past the end.
struct PlacedCopy {
    unsigned char *Block;
    size_t Alignment;

    PlacedCopy(const unsigned char *bytes, size_t length, size_t alignment)
        : Block((unsigned char *)malloc(alignment + length)), Alignment(alignment)
    {
        if (Block == nullptr && alignment + length > 0)
            abort();
        if (length > 0)
            memcpy(Block + alignment, bytes, length);
        ASAN_POISON_MEMORY_REGION(Block, alignment);
    }
    PlacedCopy(const PlacedCopy &) = delete;
    PlacedCopy &operator=(const PlacedCopy &) = delete;
    ~PlacedCopy()
    {
        ASAN_UNPOISON_MEMORY_REGION(Block, Alignment);
        free(Block);
    }
    const unsigned char *Bytes() const { return Block + Alignment; }
};

#endif
