# cmake -DCASE=<case> -DWORK=<dir> -P bad_manifest.cmake: el_add_resources on a manifest with one
# fault; the test expects the fault named, before anything is generated.
cmake_minimum_required(VERSION 3.22)
include("${CMAKE_CURRENT_LIST_DIR}/../../cmake/Resources.cmake")
set(dir "${WORK}/bad_manifest_${CASE}")
file(REMOVE_RECURSE "${dir}")
file(MAKE_DIRECTORY "${dir}/folder")
file(WRITE "${dir}/a.bmp" "BM")
set(texts
  "duplicate=STAR BITMAP a.bmp\nstar bitmap a.bmp\n"
  "quote=ST\"AR BITMAP a.bmp\n"
  "type=STAR PICTURE a.bmp\n"
  "missing=STAR BITMAP b.bmp\n"
  "folder=STAR BITMAP folder\n"
  "fields=STAR BITMAP\n")
foreach(entry IN LISTS texts)
  string(FIND "${entry}" "=" at)
  string(SUBSTRING "${entry}" 0 ${at} name)
  math(EXPR at "${at} + 1")
  string(SUBSTRING "${entry}" ${at} -1 text)
  if(name STREQUAL CASE)
    file(WRITE "${dir}/manifest.txt" "# ${CASE}\n${text}")
    el_add_resources(bad "${dir}/manifest.txt")
    message(FATAL_ERROR "no error for the ${CASE} manifest")
  endif()
endforeach()
message(FATAL_ERROR "unknown case ${CASE}")
