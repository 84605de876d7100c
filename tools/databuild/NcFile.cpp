#include "NcFile.h"

namespace skyfetch::databuild {

bool nc_read_coordinate(int nc, const char* name, const std::string& path,
                        std::vector<double>& values, std::string& error) {
    int var = 0, ndims = 0, dim = 0;
    int st = nc_inq_varid(nc, name, &var);
    if (st == NC_NOERR)
        st = nc_inq_varndims(nc, var, &ndims);
    if (st != NC_NOERR || ndims != 1)
        return nc_fail(error, path, std::string("no one-dimensional variable ") + name, st);
    std::size_t n = 0;
    if ((st = nc_inq_vardimid(nc, var, &dim)) != NC_NOERR ||
        (st = nc_inq_dimlen(nc, dim, &n)) != NC_NOERR)
        return nc_fail(error, path, std::string("bad dimension of ") + name, st);
    values.resize(n);
    if (n > 0 && (st = nc_get_var_double(nc, var, values.data())) != NC_NOERR)
        return nc_fail(error, path, std::string("cannot read ") + name, st);
    return true;
}

} // namespace skyfetch::databuild
