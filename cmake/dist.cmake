# The folder a user receives: `cmake --install build/<preset>` lays it out in
# build/<preset>/dist (the preset's install folder) or wherever --prefix points.
#
# The tracker finds everything in its own folder: qatask.dll (loaded by name), hl2demo.exe
# (started on the first start of a version and from the menu) and the language files, of
# which native.lng holds the base texts. Its data files (hl20task.txt, hl20work.txt,
# hl20grp.txt) are written there at run time; installing never touches them.
if(NOT HL_WINDOWS)
  return()
endif()

install(PROGRAMS $<TARGET_FILE:Hourlark> $<TARGET_FILE:hl2demo> $<TARGET_FILE:qatask>
        DESTINATION . COMPONENT programs)
# The user's copies carry no debug sections or symbols; the build folder keeps the whole
# programs for debugging.
install(CODE "
  foreach(program Hourlark.exe hl2demo.exe qatask.dll)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-all \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${program}\"
                    RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR \"${CMAKE_STRIP} could not strip \${program}\")
    endif()
  endforeach()" COMPONENT programs)

if(CMAKE_CROSSCOMPILING_EMULATOR)
  # This build's collector can run here: it writes native.lng straight into the folder.
  install(CODE "
    set(folder \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    message(STATUS \"Collecting: \${folder}/native.lng\")
    execute_process(COMMAND \"${CMAKE_CROSSCOMPILING_EMULATOR}\" \"$<TARGET_FILE:lngcollect>\" \"\${folder}\"
                    RESULT_VARIABLE failed OUTPUT_QUIET)
    if(failed OR NOT EXISTS \"\${folder}/native.lng\")
      message(FATAL_ERROR \"lngcollect could not write \${folder}/native.lng (\${failed})\")
    endif()" COMPONENT languages)
else()
  # The 32-bit collector cannot run on this machine. Its texts, forms and file writer are
  # the same sources as the 64-bit twin's, and nothing in native.lng depends on the word
  # size, so the file the twin collected is this build's base language file as well
  # (scripts/check-dist.sh compares the two folders' files and reads this one back).
  set(HL_NATIVE_LNG "${HL_ROOT}/build/win64/dist/native.lng" CACHE FILEPATH
      "native.lng collected by the build that can run its collector")
  install(CODE "
    if(NOT EXISTS \"${HL_NATIVE_LNG}\")
      message(FATAL_ERROR \"${HL_NATIVE_LNG} is missing: install the win64 build first\")
    endif()" COMPONENT languages)
  install(FILES "${HL_NATIVE_LNG}" DESTINATION . COMPONENT languages)
endif()
