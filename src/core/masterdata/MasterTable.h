#pragma once

#include <QList>
#include <QString>

namespace tl {

// The master tables that have an editor and a list view.
enum class MasterTable { Product, Account, Customer, Vender, Staff, Class, Storage, Region };

// One input box of an editor and the column it is bound to.
struct MasterField {
    enum class Kind {
        Text,     // stored as typed
        Number,   // stored as a number; text that is not one is refused, empty stores 0
        Password, // masked and never loaded; the first box is stored as its hash,
                  // the second confirms it; both empty keep the stored password
        Hidden,   // carried through a load, never shown (the operator's rights)
    };
    int box;       // index of the box in the editor
    QString field; // column of the table
    QString label; // label beside the box; empty for hidden boxes
    Kind kind = Kind::Text;
};

struct ListColumn {
    QString caption;
    int width; // twips
};

// The nested editor a master editor can open.
enum class NestedEditor { None, Region, Class, Rights };

// Everything that makes one editor and list differ from the others: the
// editors, the list views and the save rules all read this description.
struct MasterTableDef {
    MasterTable id;
    QString editorName; // EditAccount, AddProduct ...
    QString caption;    // window caption, unique among open windows
    QString noun;       // what one record is, for the editor's status line ("操作员")
    QString table;
    QString keyField;
    int keyBox;
    QList<MasterField> fields;

    // The name column: a new record must not repeat an existing name when
    // duplicateMessage is set; with checkNameOnModify a renamed one must not either.
    QString nameField;
    QString duplicateMessage;
    bool checkNameOnModify = false;
    QString nameRequiredMessage; // a record without a name is refused with this, when set

    // Message for saving a record that no longer exists; empty: nothing is
    // stored and nothing said.
    QString missingMessage;

    // Drop-down bound to a key column of another table (region, class).
    QString comboField; // RID, CID or empty
    QString comboTable;
    QString comboNameField;
    QString comboKeyField;
    QString comboLabel;
    int comboPosition = 1;        // boxes shown above the drop-down
    QString comboRequiredMessage; // refusal when no item is chosen, when set

    bool confirmPassword = false;
    // The form empties after every stored change, not only for an operator who
    // may also add (accounts, classes, warehouses, regions).
    bool clearAfterChange = false;

    // Rights: viewing the list, the new and save buttons in each mode.
    QString viewRight;
    QString addRight;
    QString modifyRight;

    NestedEditor nested = NestedEditor::None;
    QString nestedCaption;
    QString nestedRight; // empty: always enabled

    QString newCaption;
    QString closeCaption;

    QList<ListColumn> listColumns; // empty for the product list (record-grid layout)

    const MasterField* field(int box) const;
    // The field that holds the record's name (nameField); null when there is none.
    const MasterField* namedBy() const;
};

const MasterTableDef& masterTableDef(MasterTable table);
const QList<MasterTable>& allMasterTables();

// The save button's caption in each mode.
QString addCaption();    // "添  加"
QString modifyCaption(); // "修  改"

} // namespace tl
