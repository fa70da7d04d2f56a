#include "document/TableOpening.h"

#include "document/PointSetProfile.h"
#include "io/TableReader.h"

#include <utility>

namespace kyklos {

TableOpening OpenTableProfile(const std::string& path, const TableOptions& options, TableImportPort* importer)
{
    TableOpening opening;
    TableReadResult read = ReadTableFile(path, options);
    if (read.ColumnsUnnamed && importer) {
        const std::optional<TableOptions> chosen = importer->ChooseTableReading(path, read.Preview, options);
        if (!chosen) {
            opening.Cancelled = true;
            return opening;
        }
        read = ReadTableFile(path, *chosen);
    }
    if (!read.Read) {
        opening.Message = std::move(read.Message);
        return opening;
    }
    if (read.Read->Kind == ProfileKind::Points) {
        opening.Message = TakePointsAboutTheirCircle(*read.Read);
        if (!opening.Message.empty()) return opening;
    }
    opening.Read = std::move(read.Read);
    return opening;
}

} // namespace kyklos
