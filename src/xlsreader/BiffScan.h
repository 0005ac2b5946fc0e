#pragma once

// What FreeXL does not tell about an .xls file: the number format behind each
// cell. FreeXL guesses dates from the format text in its own way (it takes
// "0.00\d" for a date and "yyyy" for none) and turns each date into text day
// by day, which takes seconds for a large sheet. So the helper reads the
// cell formats itself, hands FreeXL a copy whose cell formats are all plain,
// and tells the dates among the numbers FreeXL then returns.

#include "core/importexport/NumberFormats.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace tl::xls {

class BiffScan {
public:
    // Reads the compound file and the workbook's global records; false when
    // the file is none this scan understands (FreeXL then reads it as it is).
    bool scan(const std::string& file);

    bool date1904() const { return m_1904; }
    // The file with every cell format made plain (General).
    std::string plainCopy(const std::string& file) const;
    // How the numbers of a worksheet (an index of FreeXL's sheets) show,
    // by row << 16 | column (from 0), for the cells not shown as numbers;
    // false when the worksheet cannot be matched.
    bool dateCells(unsigned sheet, unsigned sheetCount,
                   std::unordered_map<std::uint32_t, numfmt::Shown>& cells) const;

private:
    bool readStream(const std::string& file);
    // The record at pos: its type, body and length; false past the stream.
    bool record(std::size_t pos, unsigned& type, const unsigned char*& body,
                unsigned& length) const;

    std::string m_stream;                // the workbook stream
    std::vector<std::uint64_t> m_unitAt; // file offset of each unit of the stream
    unsigned m_unit = 512;               // bytes per unit: a sector or mini sector
    bool m_1904 = false;
    std::vector<numfmt::Shown> m_xfShown;  // per cell format (XF record)
    std::vector<std::size_t> m_xfFormatAt; // stream offset of each XF's format number
    struct Sheet {
        std::uint32_t offset;
        unsigned kind;
    };
    std::vector<Sheet> m_sheets;
};

} // namespace tl::xls
