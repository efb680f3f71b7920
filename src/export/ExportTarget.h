#pragma once

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

// Where an export goes, written so that a file is complete or absent. A regular file, or a
// path where nothing is yet, is written as an unnamed file in the target's folder that takes
// the name only once complete, keeping the mode and owner of the file it replaces; a symbolic
// link is followed and its target replaced. Anything else (a device, a FIFO, /dev/stdout) is
// opened and written through: it is never renamed over nor removed.
class CExportTarget {
public:
    enum class Kind { StandardOutput, Replaced, WrittenThrough };

    // path empty: standard output.
    explicit CExportTarget(QString path);
    ~CExportTarget();
    CExportTarget(const CExportTarget&) = delete;
    CExportTarget& operator=(const CExportTarget&) = delete;

    // Decides how the path is written and opens what is written to; false (with ErrorText)
    // when it cannot.
    bool Create();
    int Descriptor() const { return m_descriptor; }
    Kind TargetKind() const { return m_kind; }
    // The path as given, and the name messages give the target.
    QString Path() const { return m_path; }
    QString ShownName() const;
    // The system's reason for the last failure of Create or Commit.
    QString ErrorText() const;
    int ErrorNumber() const { return m_error; }

    // Whether the path names the file at otherPath (the same device and inode, links followed).
    bool IsSameFileAs(const QString& otherPath) const;

    // Gives the written file its name (a replaced target) or ends the writing; false when it
    // cannot, and then nothing of this run is left at the path or beside it.
    bool Commit();
    // Drops what was written to a replaced target; a target written through keeps what it got.
    void Discard();

    // Removes the hidden names of unfinished files at once, for a process that must end now;
    // an unnamed file goes with the process by itself.
    static void RemoveUnfinishedFiles();

private:
    // Follows symbolic links from the path to the name that is finally written.
    bool ResolveFinalPath();
    bool CreateReplacement(const struct stat* existing);
    bool OpenWrittenThrough(const QByteArray& path);
    bool LinkUnnamedFile();
    void CloseDescriptor();

    QString m_path;
    Kind m_kind = Kind::StandardOutput;
    QByteArray m_finalPath;
    QByteArray m_hiddenPath;
    bool m_unnamed = false;
    bool m_targetExisted = false;
    int m_descriptor = -1;
    int m_error = 0;
};
