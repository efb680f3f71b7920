#pragma once

// A filter of a view, as the export option it stands for: whether the view shows the filter at
// all, and whether it is checked. An export writes what the view shows unless told otherwise.
struct CExportFilter {
    bool offered = true;
    bool checked = true;
};
