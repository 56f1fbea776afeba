# SPDX-License-Identifier: GPL-3.0-or-later
# The release date of the project's version, read from CHANGELOG.md's entry for it
# ("## [1.0.0] - 2026-12-08"), so the changelog, the manual pages and the package cannot disagree.
# Sets KDSP_RELEASE_DATE (YYYY-MM-DD) and KDSP_RELEASE_EPOCH (seconds since 1970 at midnight UTC,
# for SOURCE_DATE_EPOCH: files made by the build carry the release's date, not the build's).

file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG.md kdsp_release_heading
     REGEX "^## \\[${PROJECT_VERSION}\\] - [0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$")
if(NOT kdsp_release_heading)
  message(FATAL_ERROR "CHANGELOG.md has no entry \"## [${PROJECT_VERSION}] - YYYY-MM-DD\" for "
                      "the project's version ${PROJECT_VERSION}")
endif()
string(REGEX REPLACE "^.* - " "" KDSP_RELEASE_DATE "${kdsp_release_heading}")

# Days since 1970-01-01 of a civil date (the proleptic Gregorian calendar), in integer steps.
string(REPLACE "-" ";" kdsp_ymd "${KDSP_RELEASE_DATE}")
list(GET kdsp_ymd 0 kdsp_y)
list(GET kdsp_ymd 1 kdsp_m)
list(GET kdsp_ymd 2 kdsp_d)
math(EXPR kdsp_m "${kdsp_m}")  # "08" is not octal to math(), but drop the zero all the same
math(EXPR kdsp_d "${kdsp_d}")
if(kdsp_m LESS 3)
  math(EXPR kdsp_y "${kdsp_y} - 1")
  math(EXPR kdsp_m "${kdsp_m} + 9")
else()
  math(EXPR kdsp_m "${kdsp_m} - 3")
endif()
math(EXPR kdsp_era "${kdsp_y} / 400")
math(EXPR kdsp_yoe "${kdsp_y} - ${kdsp_era} * 400")
math(EXPR kdsp_doy "(153 * ${kdsp_m} + 2) / 5 + ${kdsp_d} - 1")
math(EXPR kdsp_doe "${kdsp_yoe} * 365 + ${kdsp_yoe} / 4 - ${kdsp_yoe} / 100 + ${kdsp_doy}")
math(EXPR KDSP_RELEASE_EPOCH "(${kdsp_era} * 146097 + ${kdsp_doe} - 719468) * 86400")
