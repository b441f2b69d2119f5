#include "results/results_table.h"

#include <cmath>
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

// Walks a record in the order it is written, slot 0 first, calling
// visit(slot, name, nameLength, score) for every slot that holds a result;
// `capacity` receives the record's capacity once its header is read. False
// at the first thing acceptsRecord refuses, or when visit answers false.
template <typename Visit>
bool walkRecord(const unsigned char* record, std::int32_t length, std::int32_t& capacity, Visit visit)
{
    if (!record || length < kRecordHeaderSize)
        return false;
    const unsigned char* in = record;
    const unsigned char* const end = record + length;
    if (takeU32(in) != static_cast<std::uint32_t>(length))
        return false;
    capacity = static_cast<std::int32_t>(takeU32(in));
    const std::uint32_t usedCount = takeU32(in);
    // No capacity at all would shut the table for good, and a huge one would
    // give every score a place and a window as tall as the slots.
    if (capacity < 1 || capacity > kMaxResultsCapacity)
        return false;
    std::uint32_t used = 0;
    for (std::int32_t slot = 0; slot < capacity; ++slot) {
        if (end - in < kNameLengthSize)
            return false;
        const std::int32_t nameLength = static_cast<std::int32_t>(takeU32(in));
        if (nameLength < 0)
            return false;
        if (nameLength == 0)
            continue;
        if (end - in < static_cast<std::int64_t>(nameLength) + kScoreSize)
            return false;
        const unsigned char* name = in;
        in += nameLength;
        const double score = takeDouble(in);
        // A NaN would outrank nothing and shut the table; no run writes one.
        if (name[0] == '\0' || !std::isfinite(score))
            return false;
        if (!visit(slot, name, nameLength, score))
            return false;
        ++used;
    }
    return used == usedCount;
}

bool anySlot(int, const unsigned char*, std::int32_t, double) { return true; }

ResultEntry* newEntry(const unsigned char* bytes, std::int32_t nameLength, double score)
{
    char* name = new (std::nothrow) char[static_cast<std::size_t>(nameLength) + 1];
    ResultEntry* entry = name ? new (std::nothrow) ResultEntry : nullptr;
    if (!entry) {
        delete[] name;
        return nullptr;
    }
    std::memcpy(name, bytes, static_cast<std::size_t>(nameLength));
    name[nameLength] = '\0';
    entry->name = name;
    entry->score = score;
    return entry;
}

}  // namespace

bool ResultsTable::acceptsRecord(const unsigned char* record, std::int32_t length)
{
    std::int32_t recordCapacity = 0;
    return walkRecord(record, length, recordCapacity, anySlot);
}

bool ResultsTable::readRecord(const unsigned char* record, std::int32_t length)
{
    std::int32_t newCapacity = 0;
    if (!walkRecord(record, length, newCapacity, anySlot))
        return false;
    // The new content is built whole before the old one goes, so a table
    // that runs out of memory half-way is left as it was.
    ResultsTable built(0);
    built.slots = new (std::nothrow) ResultEntry*[newCapacity]();
    if (!built.slots)
        return false;
    built.capacity = newCapacity;
    const auto place = [&](int slot, const unsigned char* name, std::int32_t nameLength, double score) {
        built.slots[slot] = newEntry(name, nameLength, score);
        return built.slots[slot] != nullptr;
    };
    if (!walkRecord(record, length, newCapacity, place))
        return false;
    freeSlots();
    slots = built.slots;
    capacity = built.capacity;
    built.slots = nullptr;
    built.capacity = 0;
    return true;
}
