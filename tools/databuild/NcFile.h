#pragma once

#include <netcdf.h>

#include <string>
#include <vector>

namespace skyfetch::databuild {

// A netCDF file opened for reading; closed on every way out.
class NcFile {
public:
    explicit NcFile(const std::string& path) { status_ = nc_open(path.c_str(), NC_NOWRITE, &id_); }
    ~NcFile() {
        if (status_ == NC_NOERR)
            nc_close(id_);
    }
    NcFile(const NcFile&) = delete;
    NcFile& operator=(const NcFile&) = delete;

    int status() const { return status_; }
    int id() const { return id_; }

private:
    int id_ = -1;
    int status_ = NC_NOERR;
};

// "path: what (netCDF's reason)"; always false, so a reader can `return nc_fail(...)`.
inline bool nc_fail(std::string& error, const std::string& path, const std::string& what,
                    int status) {
    error = path + ": " + what;
    if (status != NC_NOERR)
        error += std::string(" (") + nc_strerror(status) + ")";
    return false;
}

// Reads the one-dimensional variable `name` (a coordinate such as lat, lon or time) as
// doubles.
bool nc_read_coordinate(int nc, const char* name, const std::string& path,
                        std::vector<double>& values, std::string& error);

} // namespace skyfetch::databuild
