#pragma once

// How the helper program tradeledger-xls hands an .xls workbook to the
// program: records on its standard output, each a tag byte and then its
// fields in the machine's own byte order (both run on the same machine).
// Plain C++, for the helper links no Qt.

#include <cstdint>

namespace tl::xls {

inline constexpr char kHelperName[] = "tradeledger-xls";

enum Tag : char {
    SheetName = 'N',  // u32 length, UTF-8 bytes; one per worksheet, in order
    SharedText = 'S', // u32 id, u32 length, UTF-8 bytes: a text TextCell records point at
    TextCell = 'T',   // u32 row, u32 column, u32 id of a SharedText
    LabelCell = 'L',  // u32 row, u32 column, u32 length, UTF-8 bytes
    IntCell = 'I',    // u32 row, u32 column, i32 value
    NumberCell = 'D', // u32 row, u32 column, f64 value
    DateCell = 'M',   // u32 row, u32 column, f64 day number, u8 DateFlags
    Failure = 'E',    // i32 error code (below); nothing follows
    End = 'Z'         // everything was written
};
// Rows and columns count from 1.

enum DateFlags : unsigned char {
    TimeOfDay = 1, // the format shows a time alone
    System1904 = 2 // days count from 1904-01-01
};

// Error codes, the numbers of Workbook::Error.
inline constexpr std::int32_t kCannotOpen = 5;
inline constexpr std::int32_t kNotAWorkbook = 438;
inline constexpr std::int32_t kOutOfRange = 1004;
inline constexpr std::int32_t kDamaged = 321;   // a workbook locked with a password
inline constexpr std::int32_t kUnreadable = -1; // FreeXL failed: damaged, or over the limit

// The address space the helper allows itself: FreeXL keeps a worksheet's
// whole cell grid in memory, as large as the file claims it to be.
inline constexpr std::uint64_t kAddressSpace = std::uint64_t(256) << 20;

} // namespace tl::xls
