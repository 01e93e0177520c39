# Reads the icon, version block and manifest back out of the linked exe.
# Plain Python on the build machine: no Wine needed.
add_test(NAME resources COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/resources_check.py $<TARGET_FILE:talvorin>)
