# Every header compiles on its own, and with SOURCES=ON every source too: the
# check behind the test files_compile_alone. The build compiles each folder's
# files in batches (unity build), where a file that uses a header without
# including it still compiles when a file batched before it includes that
# header; an editor's per-file build, or a build without batches
# (-DCMAKE_UNITY_BUILD=OFF), then fails.
#
#   cmake -DBUILD=<build dir> -DSOURCE=<source dir> -DNINJA=<ninja>
#         [-DCCACHE=<ccache>] [-DJOBS=n] [-DSOURCES=ON] -P CompileAlone.cmake
#
# It takes the flags from the build's compile_commands.json (a batch's flags
# for the sources it holds) and compiles, syntax only (no code is made), a
# file that includes one header and nothing else per header of the tree, in
# parallel through a Ninja file of its own in <build dir>/alone. The test runs
# the headers only: they are where a gap hides from every file that uses them,
# and they cost a tenth of the sources (which parse the same headers once per
# file); SOURCES=ON checks the sources as well, as a build without batches does.
# Ninja keeps the dependencies, so a second run checks only what changed; the
# compiler cache keeps the results of a syntax-only compile too, so a fresh
# build folder rechecks only what changed since the cache saw it. (The test
# programs' files include a precompiled header, which the cache takes only
# when told that the header's macros and time stamps may be trusted.)
cmake_minimum_required(VERSION 3.19)  # string(JSON)

foreach(var BUILD SOURCE NINJA)
  if(NOT ${var})
    message(FATAL_ERROR "CompileAlone.cmake: -D${var}= is missing")
  endif()
endforeach()
get_filename_component(BUILD "${BUILD}" ABSOLUTE)
get_filename_component(SOURCE "${SOURCE}" ABSOLUTE)
set(out "${BUILD}/alone")
file(MAKE_DIRECTORY "${out}")

file(READ "${BUILD}/compile_commands.json" json)
string(JSON count LENGTH "${json}")
math(EXPR last "${count} - 1")

# Whether path lies inside folder (no pattern: a folder's name may hold any
# character).
function(inside var path folder)
  string(LENGTH "${folder}/" n)
  string(SUBSTRING "${path}" 0 ${n} head)
  if(head STREQUAL "${folder}/")
    set(${var} ON PARENT_SCOPE)
  else()
    set(${var} OFF PARENT_SCOPE)
  endif()
endfunction()

# Ninja's own escapes: "$" in a variable, and "$", " ", ":" in a path.
function(ninja_escape var text)
  string(REPLACE "$" "$$" text "${text}")
  set(${var} "${text}" PARENT_SCOPE)
endfunction()
function(ninja_path var path)
  string(REPLACE "$" "$$" path "${path}")
  string(REPLACE " " "$ " path "${path}")
  string(REPLACE ":" "$:" path "${path}")
  set(${var} "${path}" PARENT_SCOPE)
endfunction()

# The sources of the tree, each once, with the command that compiles it: a
# batch's command stands for every source the batch includes. Generated
# sources (Qt's, the embedded scripts) are not ours to check.
set(sources)
foreach(i RANGE ${last})
  string(JSON file GET "${json}" ${i} file)
  string(JSON command GET "${json}" ${i} command)
  set(members)
  if(file MATCHES "/Unity/unity_[0-9]+_cxx\\.cxx$")
    file(STRINGS "${file}" lines REGEX "^#include \"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^#include \"(.*)\"$" "\\1" member "${line}")
      list(APPEND members "${member}")
    endforeach()
  else()
    set(members "${file}")
  endif()
  # The command without its object file; the file is put back in per source.
  string(REGEX REPLACE " -o [^ ]+" "" command "${command}")
  string(REPLACE " -c ${file}" " -c @SRC@" command "${command}")
  foreach(member IN LISTS members)
    inside(in_build "${member}" "${BUILD}")
    inside(in_tree "${member}" "${SOURCE}")
    if(in_build OR NOT in_tree OR NOT member MATCHES "\\.cpp$")
      continue()
    endif()
    string(MAKE_C_IDENTIFIER "${member}" key)
    if(DEFINED cmd_${key})
      continue()
    endif()
    set(cmd_${key} "${command}")
    list(APPEND sources "${member}")
    get_filename_component(dir "${member}" DIRECTORY)
    # The headers of the tree this source includes, by their place in it.
    file(STRINGS "${member}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" name "${line}")
      foreach(base IN ITEMS "${dir}" "${SOURCE}" "${SOURCE}/tests")
        if(EXISTS "${base}/${name}" AND NOT IS_DIRECTORY "${base}/${name}")
          get_filename_component(included "${base}/${name}" ABSOLUTE)
          string(MAKE_C_IDENTIFIER "${included}" ikey)
          if(NOT DEFINED includer_${ikey})
            set(includer_${ikey} "${command}")
          endif()
          break()
        endif()
      endforeach()
    endforeach()
    string(MAKE_C_IDENTIFIER "${dir}" dkey)
    if(NOT DEFINED dircmd_${dkey})
      set(dircmd_${dkey} "${command}")
    endif()
  endforeach()
endforeach()

# The headers of the tree (the build folders aside). Each is compiled with the
# flags of its own source when it has one, else of a source that includes it
# (a header may use what its programs define), else of another source of its
# folder, else of a source in a folder below.
file(GLOB_RECURSE headers LIST_DIRECTORIES false RELATIVE "${SOURCE}" "${SOURCE}/*.h")
list(FILTER headers EXCLUDE REGEX "^(build|build-[^/]*|\\.git)/")
list(SORT headers)

set(ninja "# generated by CompileAlone.cmake\n")
set(launcher)
if(CCACHE)
  set(launcher "env CCACHE_SLOPPINESS=pch_defines,time_macros ${CCACHE} ")
endif()
string(APPEND ninja "rule alone\n  command = ${launcher}$cmd -fsyntax-only -MD -MF $out.d -o $out.o && touch $out\n")
string(APPEND ninja "  depfile = $out.d\n  deps = gcc\n  description = alone $in\n\n")

function(add_check stamp src command)
  string(REPLACE "@SRC@" "${src}" command "${command}")
  ninja_escape(command "${command}")
  ninja_path(stamp "${stamp}")
  ninja_path(src "${src}")
  set(ninja "${ninja}build ${stamp}: alone ${src}\n  cmd = ${command}\n" PARENT_SCOPE)
endfunction()

set(checked_sources 0)
if(SOURCES)
  foreach(src IN LISTS sources)
    file(RELATIVE_PATH rel "${SOURCE}" "${src}")
    string(MAKE_C_IDENTIFIER "${src}" key)
    add_check("src/${rel}.ok" "${src}" "${cmd_${key}}")
  endforeach()
  list(LENGTH sources checked_sources)
endif()

set(missing)
foreach(rel IN LISTS headers)
  set(header "${SOURCE}/${rel}")
  get_filename_component(dir "${header}" DIRECTORY)
  get_filename_component(stem "${header}" NAME_WE)
  string(MAKE_C_IDENTIFIER "${dir}/${stem}.cpp" key)
  string(MAKE_C_IDENTIFIER "${dir}" dkey)
  string(MAKE_C_IDENTIFIER "${header}" ikey)
  set(command)
  if(DEFINED cmd_${key})
    set(command "${cmd_${key}}")
  elseif(DEFINED includer_${ikey})
    set(command "${includer_${ikey}}")
  elseif(DEFINED dircmd_${dkey})
    set(command "${dircmd_${dkey}}")
  else()
    foreach(src IN LISTS sources)
      inside(below "${src}" "${dir}")
      if(below)
        string(MAKE_C_IDENTIFIER "${src}" skey)
        set(command "${cmd_${skey}}")
        break()
      endif()
    endforeach()
  endif()
  if(NOT command)
    # A folder the build does not compile (a target that is off).
    list(APPEND missing "${rel}")
    continue()
  endif()
  # A file that includes the header and nothing else, written only when new
  # so that Ninja does not check it again.
  set(unit "${out}/hdr/${rel}.cpp")
  # By its path in the tree, which every target has on its include path: the
  # file's text (and so the compiler cache's key) does not name the checkout.
  set(text "#include \"${rel}\"\n")
  if(EXISTS "${unit}")
    file(READ "${unit}" old)
  else()
    set(old "")
  endif()
  if(NOT old STREQUAL text)
    file(WRITE "${unit}" "${text}")
  endif()
  add_check("hdr/${rel}.ok" "${unit}" "${command}")
endforeach()

file(WRITE "${out}/build.ninja.new" "${ninja}")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different "${out}/build.ninja.new" "${out}/build.ninja")
list(LENGTH headers nheaders)
list(LENGTH missing nmissing)
math(EXPR nheaders "${nheaders} - ${nmissing}")
message(STATUS "Compiling ${nheaders} headers and ${checked_sources} sources each on its own")
if(missing)
  string(REPLACE ";" " " missing "${missing}")
  message(STATUS "Not built here, not checked: ${missing}")
endif()

set(jobs)
if(JOBS)
  set(jobs -j ${JOBS})
endif()
execute_process(COMMAND "${NINJA}" -C "${out}" -k 0 ${jobs} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "A file does not compile on its own: it uses a header it does not include (the errors above).")
endif()
