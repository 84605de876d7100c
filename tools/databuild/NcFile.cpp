#include "NcFile.h"

namespace skyfetch::databuild {

bool nc_read_coordinate(int nc, const char* name, const std::string& path, NcAxis& axis,
                        std::string& error) {
    axis.name = name;
    int var = 0, ndims = 0;
    int st = nc_inq_varid(nc, name, &var);
    if (st == NC_NOERR)
        st = nc_inq_varndims(nc, var, &ndims);
    if (st != NC_NOERR || ndims != 1)
        return nc_fail(error, path, std::string("no one-dimensional variable ") + name, st);
    std::size_t n = 0;
    if ((st = nc_inq_vardimid(nc, var, &axis.dim)) != NC_NOERR ||
        (st = nc_inq_dimlen(nc, axis.dim, &n)) != NC_NOERR)
        return nc_fail(error, path, std::string("bad dimension of ") + name, st);
    if (n > kMaxAxisLength)
        return nc_fail(error, path,
                       std::string(name) + " has " + std::to_string(n) + " values, more than " +
                           std::to_string(kMaxAxisLength),
                       NC_NOERR);
    axis.values.assign(n, 0.0);
    const std::size_t start = 0;
    if (n > 0 && (st = nc_get_vara_double(nc, var, &start, &n, axis.values.data())) != NC_NOERR)
        return nc_fail(error, path, std::string("cannot read ") + name, st);
    return true;
}

bool nc_check_layout(int nc, int var, const char* name, const std::vector<const NcAxis*>& axes,
                     int max_leading, const std::string& path, int& leading, std::string& error) {
    std::string layout;
    for (const NcAxis* a : axes)
        layout += (layout.empty() ? "" : ", ") + a->name;
    int ndims = 0;
    int st = nc_inq_varndims(nc, var, &ndims);
    const int naxes = static_cast<int>(axes.size());
    if (st != NC_NOERR || ndims < naxes || ndims > naxes + max_leading)
        return nc_fail(error, path, std::string(name) + " is not laid out as (" + layout + ")", st);
    std::vector<int> dims(static_cast<std::size_t>(ndims));
    std::vector<std::size_t> lengths(dims.size());
    if ((st = nc_inq_vardimid(nc, var, dims.data())) != NC_NOERR)
        return nc_fail(error, path, std::string("bad dimensions of ") + name, st);
    for (std::size_t k = 0; k < dims.size(); ++k)
        if ((st = nc_inq_dimlen(nc, dims[k], &lengths[k])) != NC_NOERR)
            return nc_fail(error, path, std::string("bad dimensions of ") + name, st);
    leading = ndims - naxes;
    for (std::size_t k = 0; k < static_cast<std::size_t>(leading); ++k)
        if (lengths[k] != 1)
            return nc_fail(error, path,
                           std::string(name) + " has " + std::to_string(lengths[k]) +
                               " steps along its dimension " + std::to_string(k + 1) +
                               ", expected one",
                           NC_NOERR);
    for (int k = 0; k < naxes; ++k) {
        const NcAxis& axis = *axes[static_cast<std::size_t>(k)];
        const std::size_t d = static_cast<std::size_t>(leading + k);
        if (lengths[d] != axis.values.size())
            return nc_fail(error, path,
                           std::string(name) + " has " + std::to_string(lengths[d]) +
                               " steps along " + axis.name + " but the coordinate variable " +
                               axis.name + " has " + std::to_string(axis.values.size()),
                           NC_NOERR);
        if (dims[d] != axis.dim)
            return nc_fail(error, path,
                           std::string(name) +
                               " does not run over the dimension of the "
                               "coordinate variable " +
                               axis.name,
                           NC_NOERR);
    }
    return true;
}

bool nc_read_numbers(int nc, int var, const char* var_name, const char* attribute,
                     const std::string& path, std::vector<double>& values, std::string& error) {
    values.clear();
    nc_type type = NC_NAT;
    std::size_t length = 0;
    int st = nc_inq_att(nc, var, attribute, &type, &length);
    if (st == NC_ENOTATT)
        return true;
    const std::string what = std::string(var_name) + ":" + attribute;
    if (st != NC_NOERR)
        return nc_fail(error, path, "cannot read " + what, st);
    if (type == NC_CHAR || type == NC_STRING || type > NC_MAX_ATOMIC_TYPE)
        return nc_fail(error, path, what + " is not a number", NC_NOERR);
    values.resize(length);
    if (length > 0 && (st = nc_get_att_double(nc, var, attribute, values.data())) != NC_NOERR)
        return nc_fail(error, path, "cannot read " + what, st);
    return true;
}

bool nc_no_data_values(int nc, int var, const char* var_name, const std::string& path,
                       std::vector<double>& values, std::string& error) {
    std::vector<double> missing;
    if (!nc_read_numbers(nc, var, var_name, "_FillValue", path, values, error) ||
        !nc_read_numbers(nc, var, var_name, "missing_value", path, missing, error))
        return false;
    if (values.empty()) {
        nc_type type = NC_NAT;
        nc_inq_vartype(nc, var, &type);
        switch (type) {
        case NC_FLOAT:
            values.push_back(NC_FILL_FLOAT);
            break;
        case NC_DOUBLE:
            values.push_back(NC_FILL_DOUBLE);
            break;
        case NC_SHORT:
            values.push_back(NC_FILL_SHORT);
            break;
        case NC_INT:
            values.push_back(NC_FILL_INT);
            break;
        default:
            break;
        }
    }
    values.insert(values.end(), missing.begin(), missing.end());
    return true;
}

} // namespace skyfetch::databuild
