// .xls workbooks (the binary format of older spreadsheet programs), read with FreeXL.
#include "importexport/WorkbookFormats.h"

#include <QFile>
#include <freexl.h>

namespace tl::workbook {

namespace {

class XlsWorkbook : public Workbook {
public:
    explicit XlsWorkbook(const void* handle) : m_handle(handle) {
        unsigned int count = 0;
        if (freexl_get_info(m_handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK)
            count = 0;
        for (unsigned int i = 0; i < count && i < 65535; ++i) {
            const char* name = nullptr;
            if (freexl_get_worksheet_name(m_handle, static_cast<unsigned short>(i), &name) ==
                    FREEXL_OK &&
                name)
                m_names << QString::fromUtf8(name);
            else
                m_names << QString();
        }
    }
    ~XlsWorkbook() override { freexl_close(m_handle); }

    QStringList sheetNames() const override { return m_names; }

protected:
    int readSheetAt(int index, SheetCells& cells, int maxRows, int maxCols) override {
        if (freexl_select_active_worksheet(m_handle, static_cast<unsigned short>(index)) !=
            FREEXL_OK)
            return kDamaged;
        unsigned int rows = 0;
        unsigned short cols = 0;
        if (freexl_worksheet_dimensions(m_handle, &rows, &cols) != FREEXL_OK)
            return kDamaged;
        if (maxRows >= 0 && rows > unsigned(maxRows))
            rows = unsigned(maxRows);
        if (maxCols >= 0 && cols > maxCols)
            cols = static_cast<unsigned short>(maxCols);
        cells = SheetCells();
        for (unsigned int r = 0; r < rows; ++r) {
            for (unsigned short c = 0; c < cols; ++c) {
                FreeXL_CellValue v;
                const int rc = freexl_get_cell_value(m_handle, r, c, &v);
                if (rc == FREEXL_ILLEGAL_CELL_ROW_COL)
                    return int(Error::CellOutOfRange);
                if (rc != FREEXL_OK)
                    return kDamaged;
                cells.set(int(r) + 1, int(c) + 1, shown(v));
            }
        }
        return 0;
    }

private:
    static QString shown(const FreeXL_CellValue& v) {
        switch (v.type) {
        case FREEXL_CELL_INT:
            return QString::number(v.value.int_value);
        case FREEXL_CELL_DOUBLE:
            return generalNumberText(v.value.double_value);
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME:
            return v.value.text_value ? QString::fromUtf8(v.value.text_value) : QString();
        default:
            return {};
        }
    }

    const void* m_handle;
    QStringList m_names;
};

} // namespace

std::unique_ptr<Workbook> openXls(const QString& path, int* errorCode) {
    const void* handle = nullptr;
    const QByteArray local = QFile::encodeName(path);
    const int rc = freexl_open(local.constData(), &handle);
    if (rc != FREEXL_OK) {
        if (handle)
            freexl_close(handle);
        if (errorCode) {
            switch (rc) {
            case FREEXL_FILE_NOT_FOUND:
                *errorCode = int(Workbook::Error::CannotOpen);
                break;
            case FREEXL_INVALID_CFBF_HEADER:
            case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
                *errorCode = int(Workbook::Error::NotAWorkbook);
                break;
            default:
                *errorCode = Workbook::kDamaged;
                break;
            }
        }
        return nullptr;
    }
    unsigned int password = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK &&
        password == FREEXL_BIFF_OBFUSCATED) {
        freexl_close(handle);
        if (errorCode)
            *errorCode = Workbook::kDamaged;
        return nullptr;
    }
    return std::make_unique<XlsWorkbook>(handle);
}

} // namespace tl::workbook
