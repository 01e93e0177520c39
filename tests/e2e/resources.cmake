# Reads the icon, version block and manifest back out of the linked exe.
# Plain Python on the build machine: no Wine needed.
add_test(NAME resources COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/resources_check.py $<TARGET_FILE:talvorin>)

# The 32-bit exe keeps loading on Windows XP SP3: subsystem version, ASLR and
# DEP, and imports checked one by one against XP. No Wine needed either.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_test(NAME xp_guard COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/xp_check.py $<TARGET_FILE:talvorin>
    ${CMAKE_CURRENT_SOURCE_DIR}/xp_imports.txt)
endif()

# Only Windows' KnownDLLs in the import table, of each build's exe: any
# other DLL is loaded from the exe's folder first, where a download may have
# put one.
add_test(NAME known_dlls COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/known_dlls_check.py $<TARGET_FILE:talvorin>)
