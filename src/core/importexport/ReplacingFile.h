#pragma once

#include <QString>
#include <QTemporaryFile>

namespace tl {

// Writes a file under a unique temporary name beside its target and puts it in
// place with one rename, so an existing file is never lost before its
// replacement is complete: a failed or abandoned write leaves the old file as
// it was and removes the temporary one. The new file keeps the mode bits of
// the file it replaces, a read-only one included.
class ReplacingFile {
public:
    enum class Result {
        Done,
        WriteFailed,   // the temporary file could not be created or written
        CannotReplace, // the target exists and cannot be replaced
    };

    explicit ReplacingFile(const QString& target);
    ~ReplacingFile(); // an uncommitted temporary file is removed

    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file, open for writing. Fails with CannotReplace
    // when the target is a folder or exists in a folder that takes no new
    // file, with WriteFailed when the folder takes no new file.
    Result open();
    // The open temporary file, for writers that write through a device.
    QFile& device() { return m_temp; }
    // Its path, for writers that open the file themselves: they must call
    // closeDevice() first and write the whole file at that path.
    QString tempPath() const { return m_temp.fileName(); }
    void closeDevice() { m_temp.close(); }

    // Flushes the new file to disk and renames it over the target.
    Result commit();

    QString target() const { return m_target; }

private:
    QString m_target;
    QTemporaryFile m_temp;
    bool m_committed = false;
};

} // namespace tl
