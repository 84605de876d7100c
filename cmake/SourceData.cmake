# Locates the public source data (climate, soil texture, soil units, Earth image),
# verifies it and unpacks the climate zip files into the build tree. The source folder
# is only read, never written.

set(SKYFETCH_SOURCE_DATA_DIR "${CMAKE_SOURCE_DIR}/../shared/data" CACHE PATH
    "Folder holding cru-cl-1.0/, gldas-soil/ and zobler-soil/ (see README)")
set(SKYFETCH_EARTH_IMAGE "/usr/share/xplanet/images/earth.jpg" CACHE FILEPATH
    "Equirectangular Earth image for the globe's colour map (Debian package xplanet-images)")

get_filename_component(_data_dir "${SKYFETCH_SOURCE_DATA_DIR}" REALPATH)

set(_cru_zips ctmp6190 cpre6190 ccld6190 cwet6190)
set(_required
    "cru-cl-1.0/SHA256SUMS"
    "gldas-soil/GLDASp4_soilfraction_025d.nc4"
    "zobler-soil/z_soiltype.dat")
foreach(_z IN LISTS _cru_zips)
    list(APPEND _required "cru-cl-1.0/${_z}.zip")
endforeach()

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

set(SKYFETCH_GLDAS_FILE "${_data_dir}/gldas-soil/GLDASp4_soilfraction_025d.nc4")
set(SKYFETCH_ZOBLER_FILE "${_data_dir}/zobler-soil/z_soiltype.dat")

# What the data builder writes into the build tree.
set(SKYFETCH_DATA_DIR "${CMAKE_BINARY_DIR}/data")
set(SKYFETCH_CLIMATE_ARCHIVE_BIN "${SKYFETCH_DATA_DIR}/climate-archive.bin")
set(SKYFETCH_GLOBE_DATA_BIN "${SKYFETCH_DATA_DIR}/globe-data.bin")
set(SKYFETCH_GENERATED_INCLUDE_DIR "${CMAKE_BINARY_DIR}/generated")
set(SKYFETCH_EXPECTED_HEADER_INC "${SKYFETCH_GENERATED_INCLUDE_DIR}/climate/ExpectedHeader.inc")
