#pragma once

#include "core/importexport/ImportTables.h"
#include "core/importexport/Importer.h"

#include <QDialog>
#include <QList>

class QComboBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;

namespace tl {

class Database;
class Grid;
class GridView;
class Progress;

// The column-mapping dialog of every importable table, laid out from the
// table's description: one column-letter box per field, the first and last
// line, and a preview of the file under the same column letters. For a CSV
// file it names the encoding the preview was read in and offers the others;
// a change reads the preview again. OK imports through importRecords and
// tells the operator what was added and skipped, after asking whether to
// store what the import read and checked. It shows how many lines the file
// has, offers the columns its first line names when that line is a header,
// and remembers, per table, the mapping of the last import that was stored.
class ImportMapDialog : public QDialog {
    Q_OBJECT
public:
    ImportMapDialog(ListedTable table, const Database& db, const QString& path,
                    const QString& sheet, Progress& progress, QWidget* parent = nullptr);

    // Fills the preview; returns the message about the file (empty when it
    // reads). A file that cannot be imported leaves nothing for OK to do.
    QString displayXls();

    QLineEdit* columnBox(int slot) const { return m_columns.value(slot); }
    QLineEdit* firstLineBox() const { return m_first; }
    QLineEdit* lastLineBox() const { return m_last; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* toLastLineButton() const { return m_toLast; }
    QPushButton* headerButton() const { return m_byHeader; }
    QPushButton* defaultsButton() const { return m_defaults; }
    QLabel* lineCountLabel() const { return m_lineCount; }
    QLabel* headerLabel() const { return m_headerNote; }
    QComboBox* encodingBox() const { return m_encodingBox; }
    QLabel* encodingLabel() const { return m_encodingLabel; }
    Grid* previewGrid() const { return m_grid; }
    GridView* previewView() const { return m_view; }
    // What the last OK imported (ok is false until an import ran).
    const ImportResult& result() const { return m_result; }
    // The request the boxes make now.
    ImportRequest request() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    QWidget* buildFieldBox();
    QWidget* buildLineBox();
    QLayout* buildSampleRow();
    QLayout* buildButtons();
    void setTabOrders();
    void runImport();
    void columnsByHeader();
    void restoreMapping();
    void saveMapping() const;
    EncodingChoice encodingChoice() const;

    ListedTable m_table;
    const Database& m_db;
    QString m_path;
    QString m_sheet;
    Progress& m_progress;
    QList<QLineEdit*> m_columns;
    QLineEdit* m_first = nullptr;
    QLineEdit* m_last = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_toLast = nullptr;
    QPushButton* m_byHeader = nullptr;
    QPushButton* m_defaults = nullptr;
    QLabel* m_lineCount = nullptr;
    QLabel* m_headerNote = nullptr;
    QStringList m_firstLine; // the cells of line 1 of the file
    int m_lines = 0;         // how many lines the file has
    QComboBox* m_encodingBox = nullptr;
    QLabel* m_encodingLabel = nullptr;
    Grid* m_grid = nullptr;
    GridView* m_view = nullptr;
    QString m_previewMessage;
    bool m_shown = false;
    ImportResult m_result;
};

} // namespace tl
