# Locates the public source data (climate, soil texture, soil units, Earth image),
# verifies it and unpacks the climate zip files into the build tree. The source folder
# is only read, never written.
#
# The climate comes from the CRU CL 1.0 climatology unless SKYFETCH_CRU_TS_DIR names a
# folder of CRU TS netCDF files; then the archive holds the ten years from
# SKYFETCH_CRU_TS_FIRST_YEAR on.

set(SKYFETCH_SOURCE_DATA_DIR "${CMAKE_SOURCE_DIR}/../shared/data" CACHE PATH
    "Folder holding cru-cl-1.0/, gldas-soil/ and zobler-soil/ (see README)")
set(SKYFETCH_EARTH_IMAGE "/usr/share/xplanet/images/earth.jpg" CACHE FILEPATH
    "Equirectangular Earth image for the globe's colour map (Debian package xplanet-images)")

set(SKYFETCH_CRU_TS_DIR "" CACHE PATH
    "Folder with CRU TS monthly netCDF files (tmp, pre, cld, wet); empty: the CRU CL 1.0 climatology")
set(SKYFETCH_CRU_TS_FIRST_YEAR "" CACHE STRING
    "First of the ten CRU TS years the archive holds (with SKYFETCH_CRU_TS_DIR)")

get_filename_component(_data_dir "${SKYFETCH_SOURCE_DATA_DIR}" REALPATH)

set(_cru_zips ctmp6190 cpre6190 ccld6190 cwet6190)
set(_required
    "gldas-soil/GLDASp4_soilfraction_025d.nc4"
    "zobler-soil/z_soiltype.dat")
if(SKYFETCH_CRU_TS_DIR STREQUAL "")
    list(APPEND _required "cru-cl-1.0/SHA256SUMS")
    foreach(_z IN LISTS _cru_zips)
        list(APPEND _required "cru-cl-1.0/${_z}.zip")
    endforeach()
endif()

foreach(_f IN LISTS _required)
    if(NOT EXISTS "${_data_dir}/${_f}")
        message(FATAL_ERROR
            "Skyfetch source data not found: ${_data_dir}/${_f} is missing.\n"
            "Point SKYFETCH_SOURCE_DATA_DIR at a folder with cru-cl-1.0/, gldas-soil/ and "
            "zobler-soil/ (cmake -DSKYFETCH_SOURCE_DATA_DIR=/path/to/data); the README says "
            "where to download these public files.")
    endif()
endforeach()
if(NOT EXISTS "${SKYFETCH_EARTH_IMAGE}")
    message(FATAL_ERROR
        "Earth image not found: ${SKYFETCH_EARTH_IMAGE}.\n"
        "Install Debian's xplanet-images package or set SKYFETCH_EARTH_IMAGE.")
endif()

set(SKYFETCH_GLDAS_FILE "${_data_dir}/gldas-soil/GLDASp4_soilfraction_025d.nc4")
set(SKYFETCH_ZOBLER_FILE "${_data_dir}/zobler-soil/z_soiltype.dat")

# What the data builder writes into the build tree `build_dir`.
macro(skyfetch_built_data_paths build_dir)
    set(SKYFETCH_DATA_DIR "${build_dir}/data")
    set(SKYFETCH_CLIMATE_ARCHIVE_BIN "${SKYFETCH_DATA_DIR}/climate-archive.bin")
    set(SKYFETCH_GLOBE_DATA_BIN "${SKYFETCH_DATA_DIR}/globe-data.bin")
    set(SKYFETCH_CLIMATE_SOURCE_TXT "${SKYFETCH_DATA_DIR}/climate-source.txt")
    set(SKYFETCH_GENERATED_INCLUDE_DIR "${build_dir}/generated")
    set(SKYFETCH_EXPECTED_HEADER_INC "${SKYFETCH_GENERATED_INCLUDE_DIR}/climate/ExpectedHeader.inc")
endmacro()

# The data builder reads netCDF and JPEG with the build machine's libraries, so a cross
# build takes the blocks from a build of this tree for the build machine.
if(CMAKE_CROSSCOMPILING)
    include(${CMAKE_CURRENT_LIST_DIR}/HostData.cmake)
    return()
endif()
skyfetch_built_data_paths("${CMAKE_BINARY_DIR}")

# The builder's climate arguments and the files it reads for them.
if(NOT SKYFETCH_CRU_TS_DIR STREQUAL "")
    get_filename_component(_ts_dir "${SKYFETCH_CRU_TS_DIR}" ABSOLUTE)
    if(NOT SKYFETCH_CRU_TS_FIRST_YEAR MATCHES "^[0-9][0-9][0-9][0-9]$")
        message(FATAL_ERROR
            "SKYFETCH_CRU_TS_FIRST_YEAR must name the first of the ten years, e.g. "
            "-DSKYFETCH_CRU_TS_FIRST_YEAR=1991 (now '${SKYFETCH_CRU_TS_FIRST_YEAR}').")
    endif()
    file(GLOB _ts_files CONFIGURE_DEPENDS "${_ts_dir}/*.nc")
    if(NOT _ts_files)
        message(FATAL_ERROR
            "No CRU TS netCDF files (*.nc) in ${_ts_dir}. Download and unpack them as the "
            "README says (gunzip cru_ts*.dat.nc.gz).")
    endif()
    set(SKYFETCH_CLIMATE_SOURCE_ARGS
        --cru-ts-dir ${_ts_dir} --first-year ${SKYFETCH_CRU_TS_FIRST_YEAR})
    set(SKYFETCH_CLIMATE_SOURCE_FILES ${_ts_files})
    message(STATUS "Climate archive: CRU TS from ${_ts_dir}, "
        "${SKYFETCH_CRU_TS_FIRST_YEAR} and the nine years after. The tests check the "
        "figures of the CRU CL 1.0 archive; run them on a build without SKYFETCH_CRU_TS_DIR.")
    return()
endif()

# Check the zip files against their published checksums, then unpack them once.
file(STRINGS "${_data_dir}/cru-cl-1.0/SHA256SUMS" _sums)
set(SKYFETCH_CRU_DIR "${CMAKE_BINARY_DIR}/source-data/cru-cl-1.0")
foreach(_z IN LISTS _cru_zips)
    set(_zip "${_data_dir}/cru-cl-1.0/${_z}.zip")
    set(_expected "")
    foreach(_line IN LISTS _sums)
        if(_line MATCHES "^([0-9a-f]+)[ \t]+\\*?${_z}\\.zip$")
            set(_expected "${CMAKE_MATCH_1}")
        endif()
    endforeach()
    set(_dat "${SKYFETCH_CRU_DIR}/${_z}.dat")
    if(NOT EXISTS "${_dat}" OR "${_zip}" IS_NEWER_THAN "${_dat}")
        file(SHA256 "${_zip}" _actual)
        if(NOT _expected STREQUAL _actual)
            message(FATAL_ERROR "Checksum mismatch for ${_zip} (expected '${_expected}', got '${_actual}')")
        endif()
        file(ARCHIVE_EXTRACT INPUT "${_zip}" DESTINATION "${SKYFETCH_CRU_DIR}")
        file(TOUCH_NOCREATE "${_dat}")
        if(NOT EXISTS "${_dat}")
            message(FATAL_ERROR "${_zip} did not contain ${_z}.dat")
        endif()
    endif()
endforeach()

set(SKYFETCH_CLIMATE_SOURCE_ARGS --cru-dir ${SKYFETCH_CRU_DIR})
set(SKYFETCH_CLIMATE_SOURCE_FILES
    ${SKYFETCH_CRU_DIR}/ctmp6190.dat ${SKYFETCH_CRU_DIR}/cpre6190.dat
    ${SKYFETCH_CRU_DIR}/ccld6190.dat ${SKYFETCH_CRU_DIR}/cwet6190.dat)
