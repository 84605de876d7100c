#include "app/cli/SiteCell.h"

#include "climate/ClimateArchive.h"
#include "rules/LocationRules.h"

namespace skyfetch {

bool LookUpSite(double lon, double lat, CellRecord& record, std::string& notFound) {
    const Magnitude lonValue = SplitSigned(lon);
    const Magnitude latValue = SplitSigned(lat);
    const CellCorner corner =
        UpdateCellCorner(lonValue.value, lonValue.flag, latValue.value, latValue.flag);
    record = CellRecord{};
    if (lookup_cell(corner.lon, corner.lat, record))
        return true;
    notFound = NotFoundMessage(lonValue.value, lonValue.flag, latValue.value, latValue.flag);
    return false;
}

DriverFileParameters FileParameters(const RunParameters& parameters, const CellRecord& record) {
    DriverFileParameters file;
    file.cornerLon = record.lon;
    file.cornerLat = record.lat;
    file.initYears = parameters.spinupYears;
    file.scenarioYears = parameters.scenarioYears;
    file.tempChange = parameters.tempChange;
    file.precipChange = parameters.precipChange;
    file.co2Change = parameters.co2Change;
    return file;
}

} // namespace skyfetch
