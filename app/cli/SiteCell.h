#pragma once

#include "app/cli/CliArguments.h"
#include "climate/CellRecord.h"
#include "driver/DriverFileWriter.h"

#include <string>

namespace skyfetch {

// Looks up the cell that holds the signed location (east and north positive). False when
// it is not land, with the text that says so in notFound.
bool LookUpSite(double lon, double lat, CellRecord& record, std::string& notFound);

// The header values of a driver file for the protocol and scenario in the record's cell.
DriverFileParameters FileParameters(const RunParameters& parameters, const CellRecord& record);

} // namespace skyfetch
