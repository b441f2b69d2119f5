#include "results/results_table.h"

#include <cstring>
#include <new>

#include "results/byte_order.h"

void ResultEntry::release()
{
    if (!name)
        return;
    delete[] name;
    name = nullptr;
    score = 0.0;
}

bool ResultEntry::setName(const char* text)
{
    if (!text)
        return false;
    const std::size_t size = std::strlen(text) + 1;
    char* copy = new (std::nothrow) char[size];
    if (!copy)
        return false;
    std::memcpy(copy, text, size);
    delete[] name;
    name = copy;
    return true;
}

ResultsTable::ResultsTable(int capacity_)
{
    if (capacity_ < 1)
        return;
    slots = new (std::nothrow) ResultEntry*[capacity_]();
    if (slots)
        capacity = capacity_;
}

ResultsTable::~ResultsTable() { freeSlots(); }

void ResultsTable::takeOut(int slot)
{
    if (!slots[slot])
        return;
    slots[slot]->release();
    delete slots[slot];
    slots[slot] = nullptr;
}

void ResultsTable::freeSlots()
{
    if (!slots)
        return;
    for (int i = 0; i < capacity; ++i)
        takeOut(i);
    delete[] slots;
    slots = nullptr;
    capacity = 0;
}

void ResultsTable::closeGaps()
{
    int to = 0;
    for (int from = 0; from < capacity; ++from) {
        if (!slots[from])
            continue;
        ResultEntry* entry = slots[from];
        slots[from] = nullptr;
        slots[to++] = entry;
    }
}

bool ResultsTable::insert(const char* name, double newScore)
{
    // An empty name cannot be told from an empty slot in the record, so it
    // is refused rather than written into a record that would not read back.
    if (!name || !*name || !slots)
        return false;
    closeGaps();

    int place = 0;
    while (place < capacity && slots[place] && !(slots[place]->score < newScore))
        ++place;
    if (place == capacity)
        return false;

    ResultEntry* entry = new (std::nothrow) ResultEntry;
    if (!entry || !entry->setName(name)) {
        delete entry;
        return false;
    }
    entry->setScore(newScore);

    if (slots[place]) {
        takeOut(capacity - 1);
        for (int i = capacity - 1; i > place; --i)
            slots[i] = slots[i - 1];
    }
    slots[place] = entry;
    return true;
}

int ResultsTable::placesFor(double newScore) const
{
    int atLeastAsGood = 0;
    for (int i = 0; i < capacity; ++i)
        if (holdsResult(slots[i]) && !(slots[i]->score < newScore))
            ++atLeastAsGood;
    return capacity - atLeastAsGood;
}

void ResultsTable::clear()
{
    if (!slots || capacity < 1)
        return;
    for (int i = 0; i < capacity; ++i)
        takeOut(i);
}

unsigned char* ResultsTable::writeRecord(std::uint32_t* lengthOut) const
{
    std::uint64_t length = kRecordHeaderSize + kNameLengthSize * static_cast<std::uint64_t>(capacity);
    std::uint32_t used = 0;
    for (int i = 0; i < capacity; ++i) {
        if (holdsResult(slots[i])) {
            length += std::strlen(slots[i]->name) + kScoreSize;
            ++used;
        }
    }
    if (length > 0x7FFFFFFF)
        return nullptr;

    unsigned char* record = new (std::nothrow) unsigned char[length];
    if (!record)
        return nullptr;
    unsigned char* out = record;
    out = putU32(out, static_cast<std::uint32_t>(length));
    out = putU32(out, static_cast<std::uint32_t>(capacity));
    out = putU32(out, used);
    for (int i = 0; i < capacity; ++i) {
        if (holdsResult(slots[i])) {
            const std::size_t nameLength = std::strlen(slots[i]->name);
            out = putU32(out, static_cast<std::uint32_t>(nameLength));
            std::memcpy(out, slots[i]->name, nameLength);
            out = putDouble(out + nameLength, slots[i]->score);
        } else {
            out = putU32(out, 0);
        }
    }
    if (lengthOut)
        *lengthOut = static_cast<std::uint32_t>(length);
    return record;
}

namespace {

// Whether the record holds exactly `capacity` slot records, `usedCount` of them
// with a name, all within `length` bytes, with no name that starts with NUL
// (it would read as an empty name).
bool slotRecordsFit(const unsigned char* record, std::int32_t length, std::int32_t capacity,
                    std::uint32_t usedCount)
{
    // Every slot record takes at least 4 bytes, so the walk ends within
    // length / 4 steps whatever the capacity claims; 64-bit positions cannot
    // wrap.
    std::int64_t position = kRecordHeaderSize;
    std::uint32_t count = 0;
    for (std::int32_t i = 0; i < capacity; ++i) {
        position += kNameLengthSize;
        if (position > length)
            return false;
        const std::int32_t nameLength = static_cast<std::int32_t>(getU32(record + position - kNameLengthSize));
        if (nameLength < 0)
            return false;
        if (nameLength == 0)
            continue;
        if (position + nameLength + kScoreSize > length || record[position] == 0)
            return false;
        position += static_cast<std::int64_t>(nameLength) + kScoreSize;
        ++count;
    }
    return count == usedCount;
}

}  // namespace

bool ResultsTable::readRecord(const unsigned char* record, std::int32_t length)
{
    if (!record || length < kRecordHeaderSize)
        return false;
    if (getU32(record) != static_cast<std::uint32_t>(length))
        return false;
    const std::int32_t newCapacity = static_cast<std::int32_t>(getU32(record + 4));
    // No capacity at all would shut the table for good, and a huge one would
    // give every score a place and a window as tall as the slots.
    if (newCapacity < 1 || newCapacity > kMaxResultsCapacity)
        return false;
    // Everything is checked before anything is freed or allocated.
    if (!slotRecordsFit(record, length, newCapacity, getU32(record + 8)))
        return false;
    return fill(record + kRecordHeaderSize, newCapacity);
}

// Builds the table from slot records that slotRecordsFit has accepted.
bool ResultsTable::fill(const unsigned char* in, std::int32_t newCapacity)
{
    freeSlots();
    ResultEntry** newSlots = new (std::nothrow) ResultEntry*[newCapacity]();
    if (!newSlots)
        return false;
    slots = newSlots;
    capacity = newCapacity;
    for (int i = 0; i < capacity; ++i) {
        const std::int32_t nameLength = static_cast<std::int32_t>(getU32(in));
        in += kNameLengthSize;
        if (nameLength == 0)
            continue;
        char* name = new (std::nothrow) char[static_cast<std::size_t>(nameLength) + 1];
        ResultEntry* entry = name ? new (std::nothrow) ResultEntry : nullptr;
        if (entry) {
            std::memcpy(name, in, static_cast<std::size_t>(nameLength));
            name[nameLength] = '\0';
            entry->name = name;
            entry->score = getDouble(in + nameLength);
            slots[i] = entry;
        } else {
            delete[] name;  // out of memory: the slot stays empty
        }
        in += nameLength + kScoreSize;
    }
    return true;
}
