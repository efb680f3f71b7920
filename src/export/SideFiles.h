#pragma once

#include <QString>

#include <vector>

class CSide;

// Why a file the program is about to write must not be written: path is the database file or
// the snapshot file that one of the sides reads, which the comparison would then read no more
// (or read as something else). The message names the file and the side; empty when path is
// none of them. Exports and snapshots, from the window and from the batch tool, ask this.
QString RefuseSideFile(const QString& path, const std::vector<const CSide*>& sides);
