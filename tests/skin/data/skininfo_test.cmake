# skininfo's promises to skin authors: the summary of each stored skin, problems listed with
# exit status 1, and 2 for what cannot be loaded. Run with -DSKININFO=... -DWORK=...
# With -DEMULATOR=... (the Windows program under Wine) only the extraction cases run: each Wine
# start costs seconds, and the rest is the same portable code as natively.
function(expect_run expected_status)
  execute_process(COMMAND ${EMULATOR} ${SKININFO} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL expected_status)
    message(FATAL_ERROR "skininfo ${ARGN}: status ${status}, expected ${expected_status}\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()
function(expect_text text)
  string(FIND "${out}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "missing \"${text}\" in:\n${out}")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# --extract into a folder that does not exist yet, two levels of it, as "--extract c:\Skins" on
# a system without one: the folder is made and holds a skin that loads. Under Wine the folder
# is named the Windows way, with a drive and backslashes. A skin name that does not exist
# makes no folder; a folder that cannot be made (below a file) is an error.
set(nested ${WORK}/new/Skins)
set(nested_argument ${nested})
if(DEFINED EMULATOR)
  string(REPLACE "/" "\\" nested_argument "Z:${nested}")
endif()
expect_run(0 "MacOS (internal)" --extract "${nested_argument}")
expect_run(0 "${nested}/MacOS (internal) extracted")
expect_text("masks:         69\n")
expect_text("master bitmap: 200 x 345")
expect_run(2 "No Such Skin" --extract ${WORK}/none/Skins)
if(EXISTS ${WORK}/none)
  message(FATAL_ERROR "--extract of a skin that does not exist made ${WORK}/none")
endif()
file(WRITE ${WORK}/file "")
expect_run(2 "MacOS (internal)" --extract ${WORK}/file/Skins)
string(FIND "${err}" "creation error." at)
if(at EQUAL -1)
  message(FATAL_ERROR "no creation error for a folder below a file:\n${err}")
endif()
if(DEFINED EMULATOR)
  file(REMOVE_RECURSE ${WORK})
  return()
endif()

foreach(row "BlueGlass (internal)|57 (56 named)|77|0|304 x 250"
            "MacOS (internal)|54 (53 named)|69|0|200 x 345"
            "LongHorn (internal)|57 (56 named)|52|0|249 x 120"
            "MacMetal (internal)|53 (52 named)|69|0|198 x 331"
            "Winter2003 (internal)|57 (56 named)|63|2|304 x 250")
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 0 name)
  list(GET fields 1 sections)
  list(GET fields 2 masks)
  list(GET fields 3 patterns)
  list(GET fields 4 size)
  expect_run(0 "${name}")
  expect_text("sections:      ${sections}")
  expect_text("masks:         ${masks}\n")
  expect_text("patterns:      ${patterns}\n")
  expect_text("master bitmap: ${size}")
  expect_run(0 "${name}" --extract ${WORK})
  expect_run(0 "${WORK}/${name} extracted")
endforeach()

# Usage on request, with the exit statuses; every summary says how long the load took.
expect_run(0 --help)
expect_text("Exit status:")
expect_text("2  not loadable")
expect_run(0 "BlueGlass (internal)")
string(REGEX MATCH "load time:     [0-9]+\\.[0-9] ms" time "${out}")
if(NOT time)
  message(FATAL_ERROR "no load time in:\n${out}")
endif()

# Files named in another case than the folder holds them are found, as on Windows: a clean
# folder whose Options.dat names MASTER.BMP and GLYPH.BMP for master.bmp and Glyph.Bmp.
set(cased ${WORK}/Cased)
file(COPY "${WORK}/BlueGlass (internal) extracted/Master.bmp" DESTINATION ${cased})
file(RENAME ${cased}/Master.bmp ${cased}/master.bmp)
file(COPY "${WORK}/BlueGlass (internal) extracted/Master.bmp" DESTINATION ${cased}/pictures)
file(RENAME ${cased}/pictures/Master.bmp ${cased}/pictures/Glyph.Bmp)
file(WRITE ${cased}/options.DAT "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n[EDIT]\nBORDERSMASK=#(0,0,30,20),3,1\nGLYPHMASK=PICTURES\\GLYPH.BMP\n")
expect_run(0 ${cased})
expect_text("masks:         3\n")
expect_text("master bitmap: 304 x 250")

# A folder with one problem of each kind an author makes.
set(bad ${WORK}/Bad)
file(COPY "${WORK}/BlueGlass (internal) extracted/Master.bmp" DESTINATION ${bad})
file(WRITE ${bad}/Broken.bmp "BM but nothing more")
file(WRITE ${bad}/Options.dat "[GLOBALINFO]\nMASTERBITMAP=MASTER.BMP\n[A]\nPARENTCLASS=B\nX=#(0,0,400,20),1,0\nG=missing.bmp\nH=broken.bmp\n[B]\nPARENTCLASS=A\n[C]\nM=#(0, 0,1,1),1,0\n")
expect_run(1 ${bad})
expect_text("masks:         2\n")
expect_text("[A] parent chain loops")
expect_text("is not inside the 304 x 250 master bitmap")
expect_text("missing.bmp is missing")
expect_text("broken.bmp is unreadable")
expect_text("bad number in mask line")

file(MAKE_DIRECTORY ${WORK}/Empty)
file(WRITE ${WORK}/Old/Options.dat "[TSEDIT]\nCOLOR=1\n")
expect_run(1 ${WORK}/Old)
expect_text("old-format skin folder")
expect_run(2 ${WORK}/Empty)
expect_run(2 "No Such Skin")
expect_run(2 "No Such Skin" --extract ${WORK})
expect_run(2)
expect_run(2 one two)
file(REMOVE_RECURSE ${WORK})
