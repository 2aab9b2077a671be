# The Windows edition's libcurl: a static library made at configure time from Debian's source
# of curl with this build's MinGW-w64 toolchain, TLS from Windows itself (Schannel), FTP and
# FTPS its only protocols, no DLL of its own and none of another library's. It is made once
# per build folder and kept; it is made again only when its source or its options change.
# Afterwards CURL::libcurl is the same imported target find_package(CURL) gives on Linux
# (with CURL_STATICLIB and the system libraries it needs in its interface).
#
# VB_CURL_SOURCE_DIR  Debian's source of curl, patches applied (scripts/curl_source.sh fetches
#                     it there when it is missing; scripts/deps.sh does so too)
# VB_CURL_DIR         where the library is built and installed, in this build folder

# The one curl version this build is made for: the Debian 12 source package's.
set(VB_CURL_VERSION 7.88.1)

set(VB_CURL_SOURCE_DIR "${PROJECT_SOURCE_DIR}/build/deps/curl" CACHE PATH
    "Debian's source of curl ${VB_CURL_VERSION} that the Windows edition's libcurl is made from")
set(VB_CURL_DIR "${CMAKE_BINARY_DIR}/libcurl")

if(NOT EXISTS "${VB_CURL_SOURCE_DIR}")
    execute_process(COMMAND "${PROJECT_SOURCE_DIR}/scripts/curl_source.sh" "${VB_CURL_SOURCE_DIR}"
                            ${VB_CURL_VERSION}
                    RESULT_VARIABLE fetched)
    if(NOT fetched EQUAL 0)
        message(FATAL_ERROR "No source of curl ${VB_CURL_VERSION} in ${VB_CURL_SOURCE_DIR}, and "
                            "scripts/curl_source.sh could not fetch it (see above)")
    endif()
endif()

set(version_line "")
if(EXISTS "${VB_CURL_SOURCE_DIR}/include/curl/curlver.h")
    file(STRINGS "${VB_CURL_SOURCE_DIR}/include/curl/curlver.h" version_line
         REGEX "^#define LIBCURL_VERSION \"[^\"]*\"$")
endif()
string(REGEX REPLACE "^#define LIBCURL_VERSION \"([^\"]*)\"$" "\\1" found_version "${version_line}")
if(NOT found_version STREQUAL VB_CURL_VERSION)
    if(found_version STREQUAL "")
        set(found "no curl source (no include/curl/curlver.h)")
    else()
        set(found "curl ${found_version}")
    endif()
    message(FATAL_ERROR "VB_CURL_SOURCE_DIR (${VB_CURL_SOURCE_DIR}) holds ${found}; the "
                        "Windows edition is made with curl ${VB_CURL_VERSION} only, the version "
                        "of Debian 12's curl source package. Point VB_CURL_SOURCE_DIR at that "
                        "source, or remove the folder and configure again to fetch it.")
endif()

# Static, Schannel, FTP alone: every other protocol named off one by one (HTTP_ONLY would
# take FTP with it), none of the libraries curl would otherwise look for.
set(curl_options
    -DCMAKE_BUILD_TYPE=MinSizeRel
    -DBUILD_SHARED_LIBS=OFF
    -DBUILD_CURL_EXE=OFF
    -DBUILD_TESTING=OFF
    -DPICKY_COMPILER=OFF
    -DENABLE_MANUAL=OFF
    -DENABLE_UNICODE=ON
    -DCURL_USE_SCHANNEL=ON
    -DCURL_USE_OPENSSL=OFF
    -DCURL_WINDOWS_SSPI=ON
    -DCURL_ZLIB=OFF
    -DCURL_BROTLI=OFF
    -DCURL_ZSTD=OFF
    -DCURL_USE_LIBPSL=OFF
    -DCURL_USE_LIBSSH2=OFF
    -DCURL_USE_LIBSSH=OFF
    -DCURL_USE_GSSAPI=OFF
    -DUSE_LIBIDN2=OFF
    -DUSE_WIN32_IDN=OFF
    -DUSE_NGHTTP2=OFF
    -DENABLE_UNIX_SOCKETS=OFF
    # Schannel takes the system's certificate store; no path of the building machine's.
    -DCURL_CA_BUNDLE=none
    -DCURL_CA_PATH=none
    -DCURL_DISABLE_DICT=ON
    -DCURL_DISABLE_FILE=ON
    -DCURL_DISABLE_GOPHER=ON
    -DCURL_DISABLE_HTTP=ON
    -DCURL_DISABLE_IMAP=ON
    -DCURL_DISABLE_LDAP=ON
    -DCURL_DISABLE_LDAPS=ON
    -DCURL_DISABLE_MQTT=ON
    -DCURL_DISABLE_POP3=ON
    -DCURL_DISABLE_RTSP=ON
    -DCURL_DISABLE_SMB=ON
    -DCURL_DISABLE_SMTP=ON
    -DCURL_DISABLE_TELNET=ON
    -DCURL_DISABLE_TFTP=ON
    -DCURL_DISABLE_FTP=OFF
    # What only HTTP or the curl tool uses, and the reading of a user's .netrc.
    -DCURL_DISABLE_ALTSVC=ON
    -DCURL_DISABLE_COOKIES=ON
    -DCURL_DISABLE_DOH=ON
    -DCURL_DISABLE_HSTS=ON
    -DCURL_DISABLE_HTTP_AUTH=ON
    -DCURL_DISABLE_MIME=ON
    -DCURL_DISABLE_NETRC=ON
)

# Changes made to this build's copy of the source, in order.
set(curl_patches "${CMAKE_CURRENT_LIST_DIR}/libcurl_pingpong.patch")

# The library is kept while the source (its Debian revision included), the patches, the
# options and the toolchain stay.
set(curl_identity "${VB_CURL_VERSION};${curl_options}")
foreach(input IN LISTS curl_patches CMAKE_TOOLCHAIN_FILE)
    file(SHA256 "${input}" file_hash)
    string(APPEND curl_identity ";${file_hash}")
endforeach()
if(EXISTS "${VB_CURL_SOURCE_DIR}/debian/changelog")
    file(SHA256 "${VB_CURL_SOURCE_DIR}/debian/changelog" changelog_hash)
    string(APPEND curl_identity ";${changelog_hash}")
endif()
string(SHA256 curl_identity "${curl_identity}")

set(curl_stamp "${VB_CURL_DIR}/made-from.txt")
set(curl_made "")
if(EXISTS "${curl_stamp}")
    file(READ "${curl_stamp}" curl_made)
endif()
if(NOT curl_made STREQUAL curl_identity OR NOT EXISTS "${VB_CURL_DIR}/install/lib/libcurl.a")
    file(REMOVE_RECURSE "${VB_CURL_DIR}")
    file(MAKE_DIRECTORY "${VB_CURL_DIR}")
    set(curl_log "${VB_CURL_DIR}/build.log")
    message(STATUS "Making libcurl ${VB_CURL_VERSION} (static, Schannel, FTP and FTPS) in "
                   "${VB_CURL_DIR}, once for this build folder; its output goes to ${curl_log}")
    string(TIMESTAMP curl_start "%s")
    # Debian's tree stays as fetched (other build folders use it): the patches go to a copy.
    file(COPY "${VB_CURL_SOURCE_DIR}/" DESTINATION "${VB_CURL_DIR}/source")
    find_program(VB_PATCH patch REQUIRED)
    set(steps)
    foreach(patch IN LISTS curl_patches)
        list(APPEND steps patch)
    endforeach()
    list(APPEND steps configure build install)
    set(times "")
    foreach(step IN LISTS steps)
        string(TIMESTAMP step_start "%s")
        if(step STREQUAL patch)
            list(POP_FRONT curl_patches patch)
            set(command "${VB_PATCH}" -p1 --forward --batch -d "${VB_CURL_DIR}/source" -i "${patch}")
        elseif(step STREQUAL configure)
            set(command "${CMAKE_COMMAND}" -S "${VB_CURL_DIR}/source" -B "${VB_CURL_DIR}/build"
                        -G "${CMAKE_GENERATOR}" "-DCMAKE_MAKE_PROGRAM=${CMAKE_MAKE_PROGRAM}"
                        "-DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}"
                        "-DCMAKE_INSTALL_PREFIX=${VB_CURL_DIR}/install" ${curl_options})
        elseif(step STREQUAL build)
            # Two compilers at most: the machines that build this are shared.
            set(command "${CMAKE_COMMAND}" --build "${VB_CURL_DIR}/build" --parallel 2)
        else()
            set(command "${CMAKE_COMMAND}" --install "${VB_CURL_DIR}/build")
        endif()
        string(REPLACE ";" " " shown "${command}")
        file(APPEND "${curl_log}" "== ${step}: ${shown}\n")
        execute_process(COMMAND ${command} OUTPUT_FILE "${curl_log}.step"
                        ERROR_FILE "${curl_log}.step" RESULT_VARIABLE result)
        file(READ "${curl_log}.step" step_output)
        file(APPEND "${curl_log}" "${step_output}")
        file(REMOVE "${curl_log}.step")
        if(NOT result EQUAL 0)
            message(FATAL_ERROR "libcurl's ${step} step failed (${result}); see ${curl_log}")
        endif()
        string(TIMESTAMP step_end "%s")
        math(EXPR step_seconds "${step_end} - ${step_start}")
        string(APPEND times "${step} ${step_seconds} s, ")
    endforeach()
    string(TIMESTAMP curl_end "%s")
    math(EXPR curl_seconds "${curl_end} - ${curl_start}")
    string(REGEX REPLACE ", $" "" times "${times}")
    message(STATUS "libcurl made in ${curl_seconds} s (${times})")
    file(REMOVE_RECURSE "${VB_CURL_DIR}/source" "${VB_CURL_DIR}/build")
    file(WRITE "${curl_stamp}" "${curl_identity}")
endif()

# curl's own package file: CURL::libcurl with CURL_STATICLIB and the system libraries.
set(CURL_DIR "${VB_CURL_DIR}/install/lib/cmake/CURL" CACHE PATH "" FORCE)
find_package(CURL ${VB_CURL_VERSION} EXACT CONFIG REQUIRED NO_CMAKE_FIND_ROOT_PATH)
