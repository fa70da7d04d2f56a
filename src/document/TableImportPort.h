#pragma once
// How the document asks the user to name a table's columns: the window shows
// its Import dialog (the first rows, columns, units, direction, delimiter,
// decimal sign, nominal radius); kyklos-report has no one to ask and refuses
// the table with its message.

#include "io/TableOptions.h"
#include "io/TableReader.h"

#include <optional>
#include <string>

namespace kyklos {

class TableImportPort {
public:
    virtual ~TableImportPort() = default;
    // The reading options the user chose for the table at `path` (its
    // preview as far as it was read, `current` the options it was read
    // with), or nothing when the user cancelled: the profile shown stays.
    virtual std::optional<TableOptions> ChooseTableReading(const std::string& path, const TablePreview& preview,
                                                           const TableOptions& current) = 0;
};

} // namespace kyklos
