#pragma once
// The stored form of an icon list ("Icons"): a 32-bit little-endian signed count N, then N
// records, each a 32-bit size S followed by S bytes of an icon file (S = 0: an empty entry).
// A list of eight 318-byte icons stores 4 + 8 * (4 + 318) = 2580 bytes.
//
// The reader trusts nothing it reads: the count and every size are checked against the bytes
// left in the stream before anything is allocated, and a record must be there whole.

#include <functional>

class TStream;
class TMemoryStream;

// The most entries a stored icon list may hold.
constexpr int kMaxStoredIcons = 65536;

// Writes count records. saveEntry(index, scratch) saves entry index into scratch, which is
// empty on the call; an entry that leaves it empty is stored as an empty entry.
void WriteIconListData(TStream& stream, int count,
                       const std::function<void(int index, TMemoryStream& scratch)>& saveEntry);

// Reads the records from the stream's position, handing each entry to addEntry as soon as it
// is read: the icon's bytes in a memory stream positioned at its start, or nullptr for an
// empty entry. Raises EReadError, before allocating, for a negative count or size, a count
// over kMaxStoredIcons or over what the rest of the stream could hold, and a size beyond the
// end of the stream; entries handed over before the error stay with the caller.
void ReadIconListData(TStream& stream, const std::function<void(TMemoryStream* icon)>& addEntry);
