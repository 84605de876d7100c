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

// Most values a coordinate may have: far more than any grid or monthly series the builder
// reads, and small enough that the product of two lengths cannot overflow.
inline constexpr std::size_t kMaxAxisLength = std::size_t{1} << 20;

// A coordinate variable such as lat, lon or time: its values and the dimension it runs over.
struct NcAxis {
    std::string name;
    int dim = -1;
    std::vector<double> values;
};

// Reads the one-dimensional variable `name` as doubles; refused when it is missing, has
// another number of dimensions or more than kMaxAxisLength values.
bool nc_read_coordinate(int nc, const char* name, const std::string& path, NcAxis& axis,
                        std::string& error);

// Checks that the variable `name` runs over exactly the dimensions of `axes`, in this order,
// after up to `max_leading` leading dimensions that must each hold a single step (a time
// step, say). Refused when the number of dimensions differs or a dimension is not the one
// the axis's coordinate variable runs over. `leading` receives the number of leading
// dimensions, and so where the axes start.
bool nc_check_layout(int nc, int var, const char* name, const std::vector<const NcAxis*>& axes,
                     int max_leading, const std::string& path, int& leading, std::string& error);

// The values of the numeric attribute `attribute` of a variable, as doubles; none when the
// variable has no such attribute. Refused when it is text or of a type of its own.
bool nc_read_numbers(int nc, int var, const char* var_name, const char* attribute,
                     const std::string& path, std::vector<double>& values, std::string& error);

// The values of a variable that mean "no data": its _FillValue (for float, double, short
// and int variables without one, the library's default fill value) and every value of its
// missing_value attribute.
bool nc_no_data_values(int nc, int var, const char* var_name, const std::string& path,
                       std::vector<double>& values, std::string& error);

} // namespace skyfetch::databuild
