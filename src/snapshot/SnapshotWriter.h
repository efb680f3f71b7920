#pragma once

#include <QString>

class CDataSourceSide;
class CParamWord;
class IComparisonProgress;

// Takes a snapshot of a side: one SQLite file holding everything a comparison reads from it, so
// that the side can be compared later, or elsewhere, as it is now. The side is listed again and
// read whole (tables, every table's columns with their attributes and indexes, the data
// dictionary's sizes and rows) exactly as the runs read it; the file is written only once all of
// it was read, complete or not at all, by the export's rules (a link is followed, a file
// replaced keeps its mode, a device is written through).
class CSnapshotWriter {
public:
    // On the progress dialog's worker thread. False when cancelled (LastFailure empty) or
    // failed; nothing is then left at the path.
    bool Take(CDataSourceSide& side, const CParamWord& params, const QString& path,
              IComparisonProgress& progress);
    // Why the last snapshot failed, naming the side, the object and the driver's diagnostic,
    // or the file and the system's reason.
    QString LastFailure() const { return m_failure; }
    // The size of the last file written, in bytes.
    qint64 FileSize() const { return m_fileSize; }

private:
    QString m_failure;
    qint64 m_fileSize = 0;
};
